// The line a user types after a prompt: insert-mode editing and the terminal
// frames that show it, also when it runs over several rows.
//
// Terminal contract: the frame uses only CR, CR LF, "ESC [ n A" (up),
// "ESC [ n B" (down), "ESC [ n C" (right) and "ESC [ J" (clear to the end of
// the screen). A frame rewrites only what changed since the last one, so
// typing at the end of a long line costs one byte per key.
#pragma once

#include <cstddef>
#include <string>

namespace morv {

inline constexpr std::size_t TAB_STOP = 8;

struct LineEditor {
    std::string text;
    std::size_t cursor = 0;       // 0..text.size()
    std::size_t changed_from = 0; // first byte that differs from the last frame
    bool changed = false;
};

enum EditOutcome { EDIT_GOES_ON, EDIT_ENTERED };

// Applies one key (a KeyCode or a character code).
EditOutcome apply_key(LineEditor& editor, int key);

// Where the line stands on the terminal and what the terminal shows of it.
struct EditView {
    int start_column = 0; // column where the line's first byte stands
    int width = 80;       // terminal columns
    std::size_t shown_length = 0;
    std::size_t shown_cursor = 0;
};

// The bytes that bring the terminal from what view shows to the editor's
// state; updates view and clears the editor's change mark.
std::string render_frame(LineEditor& editor, EditView& view);

} // namespace morv
