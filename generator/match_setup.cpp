// The match setup dialogue: player count, map or level, names and colours.
#include "match_setup.h"

#include "console.h"
#include "launch_commands.h"
#include "number.h"
#include "run_generator.h"
#include "text.h"

namespace morv {

namespace {

constexpr const char* MAP_EXTENSION = ".map";
constexpr std::int32_t HIGHEST_COLOUR = 7;

// Asks again, after one line, while the answer holds what no launch script
// may; an ended input gives an empty answer, which fits.
std::string prompt_fitting(std::string (*prompt)(const std::string&), const std::string& text) {
    for (;;) {
        const std::string answer = prompt(text);
        if (fits_launch_script(answer)) {
            return answer;
        }
        print_text(UNFIT_NAME_LINE, true);
    }
}

void ask_player_count(GeneratorRun& run) {
    run.player_count = player_count_from_answer(prompt_integer("Enter number of players (1-8): "));
    print_text("", true);
}

// Asks again, with no message, until the answer is a map or a level.
void ask_mode(GeneratorRun& run) {
    print_text("Use -map or -level?", true);
    for (;;) {
        run.mode = mode_from_answer(prompt_field("(M)ap or (L)evel: "));
        // An ended input would ask for ever.
        if (console_input_ended()) {
            abort_run("Input ended.");
        }
        if (run.mode == "M" || run.mode == "L") {
            return;
        }
    }
}

void ask_map(GeneratorRun& run) {
    print_text("Must be below 8 symbols due to Dos limits!", true);
    const std::string typed = trim_spaces(prompt_fitting(prompt_field, "Enter map name: "));
    run.map_file = map_file_from_typed(typed);
    run.map_name = map_name_from_typed(typed);
}

void ask_level(GeneratorRun& run) {
    print_text("", true);
    print_text("Levels: ", true);
    for (const char* level : LEVEL_LIST) {
        print_text(level, true);
    }
    print_text("", true);
    run.level_number = trim_spaces(prompt_fitting(prompt_field, "Enter level number: "));
}

void print_colour_legend() {
    print_text("", true);
    print_text(COLOUR_LEGEND, true);
    print_text("", true);
}

void ask_player(PlayerSlot& slot, int number) {
    const std::string label = "Player " + int_to_text(number);
    slot.name = player_name_from_answer(prompt_fitting(prompt_line, label + " Name: "), number);
    do {
        slot.colour = colour_from_answer(prompt_line(label + " Color (0-7): "));
    } while (!is_colour(slot.colour));
}

} // namespace

std::int32_t player_count_from_answer(std::int32_t value) {
    return value >= 1 && value <= MAX_PLAYERS ? value : DEFAULT_PLAYER_COUNT;
}

std::string mode_from_answer(const std::string& answer) {
    return upper_ascii(left_part(trim_spaces(answer), 1));
}

std::string map_file_from_typed(const std::string& typed) {
    return find_last(upper_ascii(typed), ".MAP") > 0 ? typed : typed + MAP_EXTENSION;
}

std::string map_name_from_typed(const std::string& typed) {
    const std::int64_t dot = find_last(typed, ".");
    return dot > 0 ? left_part(typed, dot - 1) : typed;
}

std::string player_name_from_answer(const std::string& answer, int number) {
    const std::string name = trim_spaces(answer);
    return name.empty() ? "Player" + int_to_text(number) : name;
}

std::int32_t colour_from_answer(const std::string& answer) {
    return round_to_int(parse_number(answer));
}

bool is_colour(std::int32_t colour) {
    return colour >= 0 && colour <= HIGHEST_COLOUR;
}

void run_match_setup(GeneratorRun& run) {
    ask_player_count(run);
    ask_mode(run);
    if (run.mode == "M") {
        ask_map(run);
    } else {
        ask_level(run);
    }
    print_colour_legend();
    for (int number = 1; number <= run.player_count; ++number) {
        ask_player(player_slot(run, number), number);
    }
}

} // namespace morv
