// The last stages of morvmake: each player's kills, then the demo folder
// named after the match.
#include "demo_folder.h"

#include "console.h"
#include "number.h"
#include "text.h"

namespace morv {

namespace {

struct CopyResults {
    int demo = 0;
    int script = 0;
    int map = 0; // stays 0 in level mode, where there is no map to copy
};

std::string two_digits(int number) {
    // Built in place: g++ -O3 warns falsely about "literal" + a temporary string.
    std::string padded(1, '0');
    padded += int_to_text(number);
    return right_part(padded, 2);
}

std::string players_part(const GeneratorRun& run) {
    std::string part;
    for (int number = 1; number <= run.player_count; ++number) {
        const PlayerSlot& slot = player_slot(run, number);
        if (number > 1) {
            part += "x";
        }
        part += slot.name + "[" + int_to_text(slot.kills) + "]";
    }
    return part;
}

std::string match_part(const GeneratorRun& run) {
    return run.mode == "M" ? run.map_name : "L" + run.level_number;
}

// The target path keeps the Windows separator; the platform maps it.
int copy_into(const std::string& folder, const std::string& name) {
    return copy_file(name, folder + "\\" + name);
}

// A failed copy does not stop the later ones.
CopyResults copy_match_files(const GeneratorRun& run, const std::string& folder) {
    CopyResults results;
    results.demo = copy_into(folder, run.demo_name);
    results.script = copy_into(folder, run.script_name);
    if (run.mode == "M") {
        results.map = copy_into(folder, run.map_file);
    }
    return results;
}

void report_copies(const CopyResults& results) {
    if (results.demo == 0 && results.script == 0 && results.map == 0) {
        set_colour(GREEN);
        print_text("Demo folder generated successfully!", true);
        return;
    }
    set_colour(RED);
    print_text("ITAIUUU!! Either some files could not be copied or the folder could not be "
               "created.",
               true);
    print_text("This might be caused by illegal symbols present in player names or the map "
               "name, such as `?` or `*`",
               true);
    if (results.demo != 0) {
        print_text("  - Failed to copy .DMO (file not found?)", true);
    }
    if (results.script != 0) {
        print_text("  - Failed to copy .MORV", true);
    }
    if (results.map != 0) {
        print_text("  - Failed to copy .MAP (file not found?)", true);
    }
}

} // namespace

std::int32_t kills_from_answer(const std::string& answer) {
    return round_to_int(parse_number(trim_spaces(answer)));
}

std::string folder_date_text(const FileDate& date) {
    return two_digits(date.day) + "." + two_digits(date.month) + "." + int_to_text(date.year);
}

std::string folder_name_for_date(const GeneratorRun& run, const FileDate& date) {
    return players_part(run) + match_part(run) + "_" + folder_date_text(date);
}

std::string compose_folder_name(const GeneratorRun& run) {
    return folder_name_for_date(run, file_date(run.demo_name));
}

void run_score_entry(GeneratorRun& run) {
    print_text("", true);
    print_text("=== Enter kills ===", true);
    print_text("", true);
    for (int number = 1; number <= run.player_count; ++number) {
        PlayerSlot& slot = player_slot(run, number);
        // The answer is typed on the same line as the label.
        print_text("Kills for " + slot.name + ": ", false);
        slot.kills = kills_from_answer(prompt_line(""));
    }
    print_text("", true);
}

void build_demo_folder(const GeneratorRun& run) {
    const std::string folder = compose_folder_name(run);
    print_text("", true);
    print_text("Creating demo folder: " + folder, true);
    // An existing folder is reused; one that cannot be made shows as failed copies.
    make_folder(folder);
    // The copies go through temporaries beside their targets. Under the
    // working folder's lock, those an interrupted run left go first; without
    // it the copies are made all the same.
    const FolderLock lock = lock_folder(".");
    remove_leftovers(lock, ".");
    remove_leftovers(lock, folder);
    const CopyResults results = copy_match_files(run, folder);
    unlock_folder(lock);
    report_copies(results);
}

} // namespace morv
