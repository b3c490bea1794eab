// The line a user types after a prompt: insert-mode editing. The frames that
// show it on the terminal are in line_frame.h.
//
// A character is one byte, as in an 8-bit code page; on a terminal that
// speaks UTF-8 a character is a grapheme cluster (grapheme.h) instead, so
// that Backspace, Delete, Ctrl+W and the arrows never split an accented
// letter, an emoji sequence or a flag.
#pragma once

#include <cstddef>
#include <string>

namespace morv {

inline constexpr std::size_t TAB_STOP = 8;

struct LineEditor {
    std::string text;
    bool utf8 = false;            // characters are UTF-8 sequences
    std::size_t cursor = 0;       // byte offset 0..text.size(), on a character's start
    std::size_t changed_from = 0; // first byte that differs from the last frame
    bool changed = false;
};

enum EditOutcome { EDIT_GOES_ON, EDIT_ENTERED };

// Applies one key (a KeyCode or a character code). Besides the editing keys,
// a shell user's control keys work: Ctrl+A and Ctrl+E (Home, End), Ctrl+B
// and Ctrl+F (Left, Right), Ctrl+D (Delete), Ctrl+H (Backspace), Ctrl+U and
// Ctrl+K (delete to the start, to the end) and Ctrl+W (the word before the
// cursor). Other control characters are ignored.
EditOutcome apply_key(LineEditor& editor, int key);

// Columns the characters of text from begin to end take on the terminal
// (grapheme.h), with no regard to where rows end.
std::size_t column_count(const std::string& text, std::size_t begin, std::size_t end, bool utf8);

} // namespace morv
