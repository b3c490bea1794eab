// The first stage of morvmake: which demo to package, and a base name that
// fits the DOS limit of 8 characters (renaming the file with consent).
#pragma once

#include "generator_run.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace morv {

// The last character of an alternative demo name is drawn from these.
inline constexpr const char* NAME_ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr int NAME_ALPHABET_LENGTH = 36;
inline constexpr int ALTERNATIVE_TRIES = 20;
inline constexpr int DOS_NAME_LIMIT = 8;

// Fills the generator's state words from the seed the way the alternative
// names have always been drawn: word 0 = seed, then an LCG step per word.
struct NameSeedSequence {
    using result_type = std::uint32_t;

    std::uint32_t seed = 0;

    template <typename Iterator> void generate(Iterator first, Iterator last) const {
        std::uint32_t word = seed;
        for (; first != last; ++first) {
            *first = word;
            word = word * 1664525U + 1013904223U;
        }
    }
    std::size_t size() const { return 1; }
    template <typename Iterator> void param(Iterator out) const { *out = seed; }
};

// ---- Rules without side effects -------------------------------------------------

// A dropped file's name without its folder: cut at the last backslash, or,
// only when there is none, at the last forward slash.
std::string dropped_file_name(const std::string& argument);

// True when ".DMO" occurs nowhere in the name, in any letter case.
bool lacks_demo_extension(const std::string& demo_name);

// The trimmed name with "dmo" (after a final ".") or ".dmo" added.
std::string with_demo_extension(const std::string& demo_name);

// The name up to its last ".", trimmed.
std::string demo_base_name(const std::string& demo_name);

// A yes/no answer as compared: first character, then trimmed, then upper case.
std::string yes_no_answer(const std::string& answer);

// The seed of the name draws: the whole seconds of the timer as 32 bits.
std::uint32_t name_seed(double timer_seconds);

std::mt19937 seeded_name_generator(std::uint32_t seed);

// The next draw in [0, 1): the next tempered output times 2^-32.
double next_name_draw(std::mt19937& generator);

// The base name without the characters a launch script cannot hold; "demo"
// when none is left.
std::string fitting_base_name(const std::string& base_name);

// The base name without the "?" that stand for characters the console's
// code page lacks.
std::string held_base_name(const std::string& base_name);

// The first 7 characters of the base and the alphabet character the draw picks.
std::string alternative_stem(const std::string& base_name, double draw);

// ---- The dialogue ---------------------------------------------------------------

// Returns only on "Y"; "N" ends the run, and so does the end of the input.
void ask_yes_no(const std::string& prompt);

// Sets source_path, demo_name and base_name from the first argument or a
// typed name; a base longer than 8 characters, one holding what a launch
// script cannot, or a dropped one the console's code page cannot hold, is
// shortened and made to fit with consent.
void run_demo_intake(GeneratorRun& run, const std::string& argument);

} // namespace morv
