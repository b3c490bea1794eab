// The first stage of morvmake: which demo to package, and a base name that
// fits the DOS limit of 8 characters.
#include "demo_intake.h"

#include "console.h"
#include "file_ops.h"
#include "launch_commands.h"
#include "platform_console.h"
#include "platform_files.h"
#include "run_generator.h"
#include "text.h"

#include <cmath>

namespace morv {

namespace {

constexpr double TWO_TO_THE_32 = 4294967296.0;
constexpr const char* DEMO_EXTENSION = ".dmo";
constexpr const char* UNHELD_NAME_LINE =
    "The .DMO name holds characters the console cannot show (shown as ?).";

void take_demo_name(GeneratorRun& run, const std::string& argument) {
    if (!argument.empty()) {
        run.source_path = argument;
        run.demo_name = dropped_file_name(argument);
        return;
    }
    print_text("ITAIIIUUUU!! Drag'n'drop .DMO on !MORVMAKE.EXE you bakayaro.", true);
    print_text("...but since you're seeing this, you can also enter .DMO name manually", true);
    run.demo_name = prompt_field("Enter demo name: ");
    run.source_path = run.demo_name;
}

void print_unfit_notice(const char* line) {
    print_text("", true);
    print_text(line, true);
    print_text("", true);
}

void print_long_name_notice(const std::string& base_name) {
    print_text("", true);
    print_text("YOU VERY BAD MAN!! Your .DMO is above 8 symbols in length, which is beyond "
               "the DOS limit!",
               true);
    const auto length = static_cast<std::int32_t>(base_name.size());
    print_text("Original : " + base_name + " (" + int_to_text(length) + " chars)", true);
    print_text("", true);
}

// A dropped demo whose name the code page cannot hold is renamed from its
// real name, never looked for under the "?" that stand for what is missing.
int rename_demo(const GeneratorRun& run, bool unheld, const std::string& new_name) {
    return unheld ? platform_rename_argument(1, run.source_path, new_name)
                  : rename_file(run.source_path, new_name);
}

// The seed comes from the timer once, so two runs in the same second draw the
// same names.
bool rename_to_alternative(const GeneratorRun& run, bool unheld, const std::string& base,
                           std::string& candidate) {
    print_text("DMO with the same name already exists, or you're trying to rename the DMO that "
               "is not in the folder adjacent to !MORVMAKE. Trying alternative names...",
               true);
    print_text("", true);
    std::mt19937 generator = seeded_name_generator(name_seed(platform_clock_seconds()));
    for (int tries = 1; tries <= ALTERNATIVE_TRIES; ++tries) {
        candidate = alternative_stem(base, next_name_draw(generator));
        const std::string new_name = candidate + DEMO_EXTENSION;
        print_text("Trying: " + new_name, true);
        if (rename_demo(run, unheld, new_name) == 0) {
            print_text("Success with alternative name: " + new_name, true);
            return true;
        }
    }
    print_text("Could not find a free name after many tries.", true);
    return false;
}

// Renames the demo to a short name; returns the stem the run goes on with,
// which after all renames failed is the plain 8-character one.
std::string shorten_demo(const GeneratorRun& run, bool unheld) {
    const std::string base =
        fitting_base_name(unheld ? held_base_name(run.base_name) : run.base_name);
    std::string candidate = left_part(base, DOS_NAME_LIMIT);
    print_text("Trying to rename to: " + candidate + DEMO_EXTENSION, true);
    if (rename_demo(run, unheld, candidate + DEMO_EXTENSION) == 0) {
        print_text("Time to get erased! DMO filename truncated.", true);
        return candidate;
    }
    if (rename_to_alternative(run, unheld, base, candidate)) {
        return candidate;
    }
    print_text("Hmm... no power. Failed to rename.", true);
    ask_yes_no("Want to proceed anyway with truncated name? (Y/N): ");
    return left_part(base, DOS_NAME_LIMIT);
}

} // namespace

std::string dropped_file_name(const std::string& argument) {
    std::int64_t cut = find_last(argument, "\\");
    if (cut == 0) {
        cut = find_last(argument, "/");
    }
    return cut > 0 ? mid_part(argument, cut + 1) : argument;
}

bool lacks_demo_extension(const std::string& demo_name) {
    return find_first(upper_ascii(demo_name), ".DMO") == 0;
}

std::string with_demo_extension(const std::string& demo_name) {
    const std::string name = trim_spaces(demo_name);
    return !name.empty() && name.back() == '.' ? name + "dmo" : name + DEMO_EXTENSION;
}

std::string demo_base_name(const std::string& demo_name) {
    const std::int64_t dot = find_last(demo_name, ".");
    return trim_spaces(dot > 0 ? left_part(demo_name, dot - 1) : demo_name);
}

std::string yes_no_answer(const std::string& answer) {
    return upper_ascii(trim_spaces(left_part(answer, 1)));
}

std::uint32_t name_seed(double timer_seconds) {
    if (!std::isfinite(timer_seconds) || timer_seconds < 0.0) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::fmod(std::floor(timer_seconds), TWO_TO_THE_32));
}

std::mt19937 seeded_name_generator(std::uint32_t seed) {
    NameSeedSequence sequence{seed};
    return std::mt19937(sequence);
}

double next_name_draw(std::mt19937& generator) {
    return static_cast<double>(generator()) / TWO_TO_THE_32;
}

std::string fitting_base_name(const std::string& base_name) {
    std::string fitting;
    for (const char byte : base_name) {
        if (fits_launch_script(std::string(1, byte))) {
            fitting += byte;
        }
    }
    return fitting.empty() ? "demo" : fitting;
}

std::string held_base_name(const std::string& base_name) {
    std::string held;
    for (const char byte : base_name) {
        if (byte != '?') {
            held += byte;
        }
    }
    return held;
}

std::string alternative_stem(const std::string& base_name, double draw) {
    auto index = static_cast<int>(std::floor(draw * NAME_ALPHABET_LENGTH));
    if (index < 0 || index >= NAME_ALPHABET_LENGTH) {
        index = 0; // a draw is below 1, so this guards only against misuse
    }
    return left_part(base_name, DOS_NAME_LIMIT - 1) + NAME_ALPHABET[index];
}

void ask_yes_no(const std::string& prompt) {
    for (;;) {
        const std::string answer = yes_no_answer(prompt_field(prompt));
        // An ended input would ask for ever.
        if (console_input_ended()) {
            abort_run("Input ended.");
        }
        if (answer == "Y") {
            return;
        }
        if (answer == "N") {
            abort_run("Sayonara, scumbag.");
        }
    }
}

void run_demo_intake(GeneratorRun& run, const std::string& argument) {
    take_demo_name(run, argument);
    if (lacks_demo_extension(run.demo_name)) {
        // A dropped file loses its folder here: it is looked for in the
        // working folder from now on.
        run.demo_name = with_demo_extension(run.demo_name);
        run.source_path = run.demo_name;
    }
    run.base_name = demo_base_name(run.demo_name);
    // Only the dropped file itself has a real name to rename from.
    const bool unheld =
        !argument.empty() && run.source_path == argument && !platform_argument_fits(1);
    const bool fits = fits_launch_script(run.demo_name);
    if (!unheld && fits && run.base_name.size() <= static_cast<std::size_t>(DOS_NAME_LIMIT)) {
        return;
    }
    if (unheld) {
        print_unfit_notice(UNHELD_NAME_LINE);
    } else if (fits) {
        print_long_name_notice(run.base_name);
    } else {
        print_unfit_notice(UNFIT_NAME_LINE);
    }
    ask_yes_no("Continue and rename file to 8 chars? (Y/N): ");
    const std::string stem = shorten_demo(run, unheld);
    run.base_name = stem;
    run.demo_name = stem + DEMO_EXTENSION;
    print_text("", true);
}

} // namespace morv
