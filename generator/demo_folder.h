// The last stages of morvmake: each player's kills, then the demo folder
// named after the match with the demo, the launch script and the map in it.
#pragma once

#include "file_ops.h"
#include "generator_run.h"

#include <cstdint>
#include <string>

namespace morv {

// ---- Rules without side effects -------------------------------------------------

// The typed kills: trimmed, rounded half to even; text that is no number gives 0.
std::int32_t kills_from_answer(const std::string& answer);

// DD.MM.YYYY with the year unpadded.
std::string folder_date_text(const FileDate& date);

// Players with their kills, the map or level, "_" and the date.
std::string folder_name_for_date(const GeneratorRun& run, const FileDate& date);

// ---- The stages -----------------------------------------------------------------

// The folder name with the demo file's date (30.12.1899 when it is missing).
std::string compose_folder_name(const GeneratorRun& run);

// Asks every player's kills.
void run_score_entry(GeneratorRun& run);

// Makes the folder, copies the files and reports: green when all copies
// worked, red with one line per failed copy otherwise. Never ends the run.
void build_demo_folder(const GeneratorRun& run);

} // namespace morv
