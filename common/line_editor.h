// The line a user types after a prompt: insert-mode editing and the terminal
// frames that show it, also when it runs over several rows.
//
// Terminal contract: the frame uses only CR, CR LF, "ESC [ n A" (up),
// "ESC [ n B" (down), "ESC [ n C" (right) and "ESC [ J" (clear to the end of
// the screen). A frame rewrites only what changed since the last one, so
// typing at the end of a long line costs one byte per key.
//
// A character is one byte, as in an 8-bit code page; on a terminal that
// speaks UTF-8 a character is one UTF-8 sequence instead, so that Backspace,
// Delete and the arrows never split one and each takes one column.
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

// Where the line stands on the terminal and what the terminal shows of it.
// Positions in it count columns, one per character.
struct EditView {
    int start_column = 0; // column where the line's first character stands
    int width = 80;       // terminal columns
    std::size_t shown_length = 0;
    std::size_t shown_cursor = 0;
};

// Columns the bytes of text from begin to end take on the terminal.
std::size_t column_count(const std::string& text, std::size_t begin, std::size_t end, bool utf8);

// The bytes that bring the terminal from what view shows to the editor's
// state; updates view and clears the editor's change mark.
std::string render_frame(LineEditor& editor, EditView& view);

} // namespace morv
