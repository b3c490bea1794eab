// Scratch folders and whole-file reads and writes for tests, on every platform.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace morv_test {

// A fresh empty folder in the system's temporary folder, named prefix and a
// random number, removed with everything in it when the test ends.
struct ScratchFolder {
    explicit ScratchFolder(const std::string& prefix = "morv-test-");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::filesystem::path path;
};

std::string read_file(const std::filesystem::path& path);
// The names of the entries of folder, sorted.
std::vector<std::string> names_in(const std::filesystem::path& folder);
void write_file(const std::filesystem::path& path, const std::string& bytes);

} // namespace morv_test
