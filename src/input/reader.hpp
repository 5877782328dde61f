#pragma once

#include <optional>

#include "tui/events.hpp"

namespace qm {

// A key in a text shown to read (help, the message log): the rows it scrolls by, negative
// upwards (↑/↓/j/k a row, PgUp/PgDn a page), or none for any other key, which closes the text.
std::optional<int> reader_rows(const tui::KeyEvent& key);

}  // namespace qm
