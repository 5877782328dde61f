#pragma once

#include <span>
#include <string>

#include "tui/buffer.hpp"
#include "tui/diff.hpp"
#include "tui/geometry.hpp"

namespace tui {

struct EscapeOptions {
  // False when the user asked for no colour: no colour parameter is ever written, bold still is.
  bool colour = true;
};

// Appends to `out` the bytes that paint `changes` (in the order given) on a terminal whose
// attributes are reset and whose cursor position is unknown.
//
// The cursor is moved (CSI row;col H) before the first cell and whenever a cell is not the one
// right after the last cell written; a cell of width 1 or 2 advances the cursor by that many
// columns, a wider cluster leaves the position unknown, since terminals disagree on its width.
// Attributes change by the smallest step: one SGR sequence carrying only what differs from the
// previous cell (1 or 22 for bold, 38;2;r;g;b, 38;5;n or 39 for the foreground, 48;2;r;g;b,
// 48;5;n or 49 for the background). Cells in a row usually share most of their style, so this is
// shorter than resetting at every change. The bytes end with attributes reset (CSI 0 m) if any
// were set. A symbol holding a control character is written as blanks over its columns.
void write_changes(std::string& out, std::span<const CellChange> changes,
                   const EscapeOptions& options);

// How write_row_text writes a row: plain text only, or with the cells' attributes.
enum class RowLook : unsigned char { plain, styled };

// Appends row `y` of `buffer` as one line of text for a file or a pipe, without cursor moves or
// the line feed. Plain: the symbols alone, trailing blanks dropped. Styled: every column, with one
// SGR sequence at each change of attributes as write_changes writes them (colour only as
// `options` allow) and a reset at the end. A symbol holding a control character is written as
// blanks, as on screen.
void write_row_text(std::string& out, const Buffer& buffer, uint16_t y, RowLook look,
                    const EscapeOptions& options);

// Appends CSI row;col H for the 0-based `position`.
void write_cursor_move(std::string& out, Position position);

}  // namespace tui
