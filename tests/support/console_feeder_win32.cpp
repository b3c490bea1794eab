// The keyboard and the window of a Windows console, for the terminal tests of
// the Windows programs: a terminal cannot send a bare Esc key, a key release
// or a new window size, so this program starts the program under test on its
// own console and writes those events into the console's input itself.
//
//   console_feeder STEP... -- PROGRAM [ARGUMENT...]
//
//   text:ABC     each character pressed and released
//   alt:A        the character pressed and released with Alt held
//   esc, enter   that key pressed and released
//   cp:N         the console's input and output code page N, set before
//                the program starts
//   size         a new screen buffer size, as resizing the window sends
//   show:TEXT    waits (20 s at most) until the screen shows TEXT
//   soon:TEXT    the same, but at most 1.5 s after the last events written
//   waiting      fails when the program ends within a second
//
// Events between two other steps go into the input in one write, as keys
// typed ahead do. After the last step the program has 10 s to end. What
// failed goes to the standard error; the exit status is the program's, or
// FEEDER_FAILED.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int FEEDER_FAILED = 90;
constexpr DWORD SHOW_MS = 20000;
constexpr DWORD SOON_MS = 1500;
constexpr DWORD END_MS = 10000;
constexpr DWORD WAITING_MS = 1000;
constexpr DWORD POLL_MS = 20;

struct Feeder {
    HANDLE input = INVALID_HANDLE_VALUE;
    HANDLE output = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION program{};
    std::vector<INPUT_RECORD> batch;
    ULONGLONG written_at = 0;
};

void add_key(Feeder& feeder, WORD virtual_key, wchar_t character, DWORD control_state = 0) {
    for (const BOOL down : {TRUE, FALSE}) {
        INPUT_RECORD record{};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = down;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
        record.Event.KeyEvent.uChar.UnicodeChar = character;
        record.Event.KeyEvent.dwControlKeyState = control_state;
        feeder.batch.push_back(record);
    }
}

// The virtual key of a letter or digit on a US keyboard, 0 for any other
// character. Not VkKeyScanW: under wine its first call may wait seconds for
// the desktop, long enough for a pause to pass before its key is written.
WORD key_of(wchar_t character) {
    if (character >= L'a' && character <= L'z') {
        return static_cast<WORD>(character - L'a' + L'A');
    }
    const bool letter_or_digit =
        (character >= L'A' && character <= L'Z') || (character >= L'0' && character <= L'9');
    return letter_or_digit ? static_cast<WORD>(character) : 0;
}

void add_size(Feeder& feeder) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(feeder.output, &info);
    INPUT_RECORD record{};
    record.EventType = WINDOW_BUFFER_SIZE_EVENT;
    record.Event.WindowBufferSizeEvent.dwSize = info.dwSize;
    feeder.batch.push_back(record);
}

void write_batch(Feeder& feeder) {
    if (feeder.batch.empty()) {
        return;
    }
    DWORD written = 0;
    WriteConsoleInputW(feeder.input, feeder.batch.data(), static_cast<DWORD>(feeder.batch.size()),
                       &written);
    feeder.batch.clear();
    feeder.written_at = GetTickCount64();
}

bool screen_shows(const Feeder& feeder, const std::wstring& text) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(feeder.output, &info)) {
        return false;
    }
    std::wstring screen(static_cast<std::size_t>(info.dwSize.X * info.dwSize.Y), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(feeder.output, screen.data(), static_cast<DWORD>(screen.size()),
                                COORD{0, 0}, &read);
    return screen.find(text) != std::wstring::npos;
}

bool wait_until_shown(const Feeder& feeder, const std::wstring& text, ULONGLONG deadline) {
    while (!screen_shows(feeder, text)) {
        if (GetTickCount64() > deadline) {
            std::fwprintf(stderr, L"feeder: no \"%ls\" on the screen in time\n", text.c_str());
            return false;
        }
        Sleep(POLL_MS);
    }
    return true;
}

// Runs one step; false when it failed.
bool run_step(Feeder& feeder, const std::wstring& step) {
    const std::wstring value = step.substr(step.find(L':') + 1);
    if (step.rfind(L"text:", 0) == 0) {
        for (const wchar_t c : value) {
            add_key(feeder, key_of(c), c);
        }
        return true;
    }
    if (step.rfind(L"alt:", 0) == 0 && !value.empty()) {
        add_key(feeder, key_of(value[0]), value[0], LEFT_ALT_PRESSED);
        return true;
    }
    if (step.rfind(L"cp:", 0) == 0) {
        return true; // set before the program started
    }
    if (step == L"esc" || step == L"enter" || step == L"size") {
        if (step == L"size") {
            add_size(feeder);
        } else {
            add_key(feeder, step == L"esc" ? VK_ESCAPE : VK_RETURN, step == L"esc" ? 27 : L'\r');
        }
        return true;
    }
    write_batch(feeder);
    if (step.rfind(L"show:", 0) == 0) {
        return wait_until_shown(feeder, value, GetTickCount64() + SHOW_MS);
    }
    if (step.rfind(L"soon:", 0) == 0) {
        return wait_until_shown(feeder, value, feeder.written_at + SOON_MS);
    }
    if (step == L"waiting") {
        if (WaitForSingleObject(feeder.program.hProcess, WAITING_MS) != WAIT_TIMEOUT) {
            DWORD status = 0;
            GetExitCodeProcess(feeder.program.hProcess, &status);
            std::fwprintf(stderr, L"feeder: the program has ended with status %lu\n",
                          static_cast<unsigned long>(status));
            return false;
        }
        return true;
    }
    std::fwprintf(stderr, L"feeder: unknown step %ls\n", step.c_str());
    return false;
}

// The program's command line: this one's after " -- ", unchanged.
bool start_program(Feeder& feeder) {
    std::wstring line = GetCommandLineW();
    const std::size_t marker = line.find(L" -- ");
    if (marker == std::wstring::npos) {
        return false;
    }
    line = line.substr(marker + 4);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &start, &feeder.program) != 0;
}

// The cp: steps, taken before the program starts so that it sees the pages
// from its first line on.
bool set_code_pages(int argc, wchar_t** argv) {
    for (int n = 1; n < argc && std::wcscmp(argv[n], L"--") != 0; ++n) {
        if (std::wcsncmp(argv[n], L"cp:", 3) != 0) {
            continue;
        }
        const auto page = static_cast<UINT>(std::wcstoul(argv[n] + 3, nullptr, 10));
        if (!SetConsoleCP(page) || !SetConsoleOutputCP(page)) {
            std::fwprintf(stderr, L"feeder: no code page %u\n", page);
            return false;
        }
    }
    return true;
}

int finish(Feeder& feeder, bool steps_done) {
    const DWORD waited = WaitForSingleObject(feeder.program.hProcess, steps_done ? END_MS : 0);
    DWORD status = FEEDER_FAILED;
    if (waited != WAIT_OBJECT_0) {
        if (steps_done) {
            std::fwprintf(stderr, L"feeder: the program did not end\n");
        }
        TerminateProcess(feeder.program.hProcess, FEEDER_FAILED);
    } else if (steps_done) {
        GetExitCodeProcess(feeder.program.hProcess, &status);
    }
    return static_cast<int>(status);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Feeder feeder;
    feeder.input = GetStdHandle(STD_INPUT_HANDLE);
    feeder.output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!set_code_pages(argc, argv)) {
        return FEEDER_FAILED;
    }
    if (!start_program(feeder)) {
        std::fwprintf(stderr, L"feeder: no program to start after \" -- \"\n");
        return FEEDER_FAILED;
    }
    bool steps_done = true;
    for (int n = 1; n < argc && std::wcscmp(argv[n], L"--") != 0 && steps_done; ++n) {
        steps_done = run_step(feeder, argv[n]);
    }
    write_batch(feeder);
    return finish(feeder, steps_done);
}
