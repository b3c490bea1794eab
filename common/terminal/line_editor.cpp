// The line a user types after a prompt.
#include "line_editor.h"

#include "grapheme.h"
#include "key_decoder.h"

#include <algorithm>

namespace morv {
namespace {

// Called before the change: what follows a cluster may join it.
void mark_changed(LineEditor& editor, std::size_t from) {
    from = redraw_start(editor.text, from, editor.utf8);
    editor.changed_from = editor.changed ? std::min(editor.changed_from, from) : from;
    editor.changed = true;
}

void insert_bytes(LineEditor& editor, const std::string& bytes) {
    mark_changed(editor, editor.cursor);
    editor.text.insert(editor.cursor, bytes);
    editor.cursor += bytes.size();
}

void erase_range(LineEditor& editor, std::size_t from, std::size_t to) {
    mark_changed(editor, from);
    editor.text.erase(from, to - from);
}

// A grapheme cluster is one step of the cursor: its characters share their
// columns on the terminal.
std::size_t previous_start(const LineEditor& editor, std::size_t at) {
    return cluster_start_before(editor.text, at, editor.utf8);
}

std::size_t next_start(const LineEditor& editor, std::size_t at) {
    return at >= editor.text.size() ? editor.text.size()
                                    : cluster_extent(editor.text, at, editor.utf8).end;
}

bool blank_before(const LineEditor& editor, std::size_t at) {
    return editor.text[at - 1] == ' ' && previous_start(editor, at) == at - 1;
}

// Control keys a shell user edits with.
constexpr int CTRL_A = 1;
constexpr int CTRL_B = 2;
constexpr int CTRL_D = 4;
constexpr int CTRL_E = 5;
constexpr int CTRL_F = 6;
constexpr int CTRL_K = 11;
constexpr int CTRL_U = 21;
constexpr int CTRL_W = 23;

// The editing key a control key stands for; any other key as it is.
int editing_key(int key) {
    switch (key) {
    case CTRL_A:
        return KEY_HOME;
    case CTRL_E:
        return KEY_END;
    case CTRL_B:
        return KEY_LEFT;
    case CTRL_F:
        return KEY_RIGHT;
    case CTRL_D:
        return KEY_DELETE;
    default:
        return key;
    }
}

// Where the blank-delimited word before the cursor starts, the blanks between
// it and the cursor counted in, as a shell's Ctrl+W sees it.
std::size_t word_start(const LineEditor& editor) {
    std::size_t at = editor.cursor;
    while (at > 0 && blank_before(editor, at)) {
        --at;
    }
    while (at > 0 && !blank_before(editor, at)) {
        at = previous_start(editor, at);
    }
    return at;
}

// Deletes the bytes from..to and leaves the cursor where they began.
void cut(LineEditor& editor, std::size_t from, std::size_t to) {
    if (from < to) {
        erase_range(editor, from, to);
    }
    editor.cursor = from;
}

} // namespace

EditOutcome apply_key(LineEditor& editor, int key) {
    switch (editing_key(key)) {
    case '\r':
    case '\n':
        return EDIT_ENTERED;
    case '\t':
        insert_bytes(editor, std::string(TAB_STOP - column_count(editor.text, 0, editor.cursor,
                                                                 editor.utf8) %
                                                        TAB_STOP,
                                         ' '));
        break;
    case 8:
    case 127:
        if (editor.cursor > 0) {
            const std::size_t end = editor.cursor;
            editor.cursor = previous_start(editor, end);
            erase_range(editor, editor.cursor, end);
        }
        break;
    case KEY_DELETE:
        if (editor.cursor < editor.text.size()) {
            erase_range(editor, editor.cursor, next_start(editor, editor.cursor));
        }
        break;
    case KEY_ESCAPE:
        mark_changed(editor, 0);
        editor.text.clear();
        editor.cursor = 0;
        break;
    case KEY_LEFT:
        editor.cursor = previous_start(editor, editor.cursor);
        break;
    case KEY_RIGHT:
        editor.cursor = next_start(editor, editor.cursor);
        break;
    case KEY_HOME:
        editor.cursor = 0;
        break;
    case KEY_END:
        editor.cursor = editor.text.size();
        break;
    case CTRL_U:
        cut(editor, 0, editor.cursor);
        break;
    case CTRL_K:
        cut(editor, editor.cursor, editor.text.size());
        break;
    case CTRL_W:
        cut(editor, word_start(editor), editor.cursor);
        break;
    default:
        if (key >= 32 && key <= 255) {
            insert_bytes(editor, std::string(1, static_cast<char>(key)));
        }
        break;
    }
    return EDIT_GOES_ON;
}

std::size_t column_count(const std::string& text, std::size_t begin, std::size_t end, bool utf8) {
    std::size_t columns = 0;
    for (std::size_t at = begin; at < end;) {
        const ClusterExtent cluster = cluster_extent(text, at, utf8);
        columns += static_cast<std::size_t>(cluster.columns);
        at = cluster.end;
    }
    return columns;
}

} // namespace morv
