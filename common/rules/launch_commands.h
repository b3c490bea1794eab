// What a launch script may ask of the emulator. A launch script travels with
// a shared demo and is opened without being read, so it may start a demo and
// nothing else: its DOS commands are the few the demo's players need, and its
// names hold nothing that the emulator's command line or DOS would read as a
// quote, a redirection or a second command.
#pragma once

#include <string>

namespace morv {

// True when text holds none of & " < > | and no control character (a byte
// below 0x20, or 0x7F): a name that stays one word of one command.
bool fits_launch_script(const std::string& text);

// True when the segment (the text between two "&" of an instance value) is
// one of "MOUNT C .", "C:", "ipxnet startserver", "ipxnet connect" and one
// host word, or "ipxsetup" and arguments that fit a launch script. Words
// compare without regard to ASCII case, and a run of blanks counts as one.
bool is_launch_command(const std::string& segment);

// The text with every control character shown as a caret and a letter (ESC
// as ^[, CR as ^M, 0x7F as ^?), so that a name from a file is shown and
// never carried out by the terminal.
std::string caret_notation(const std::string& text);

} // namespace morv
