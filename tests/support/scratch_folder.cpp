// Scratch folders and whole-file reads and writes for tests.
#include "scratch_folder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace morv_test {

ScratchFolder::ScratchFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 draw(seed());
    for (;;) {
        path = std::filesystem::temp_directory_path() /
               (prefix + std::to_string(draw() % 1000000000000ULL));
        if (std::filesystem::create_directory(path)) {
            return;
        }
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

std::vector<std::string> names_in(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << bytes;
}

} // namespace morv_test
