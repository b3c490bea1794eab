// The entry of the programs on Windows. The narrow arguments of the C
// runtime are in the ANSI code page, while every text of the programs is in
// the console's; so the runtime's wide arguments, split by the same rules,
// are turned into the console's code page here. The wide ones are kept for
// the names the code page cannot hold.
#include "platform_win32_path.h"
#include "program_main.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    morv::keep_wide_arguments(argc, argv);
    const unsigned page = morv::console_code_page();
    std::vector<std::string> arguments;
    for (int n = 0; n < argc; ++n) {
        arguments.push_back(morv::code_page_text(argv[n], page));
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    return program_main(argc, pointers.data());
}
