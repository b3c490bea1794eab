// Prints the version resource of a Windows program as Explorer reads it
// (GetFileVersionInfo), one "Name=value" line per string, for the release
// zip's test.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_probe PROGRAM.exe\n");
        return 2;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, block.data())) {
        std::printf("no version resource\n");
        return 1;
    }
    for (const char* name : {"FileDescription", "ProductName", "FileVersion", "ProductVersion",
                             "OriginalFilename", "LegalCopyright"}) {
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        char* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) &&
            length > 0) {
            std::printf("%s=%s\n", name, value);
        }
    }
    return 0;
}
