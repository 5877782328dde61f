#pragma once

#include <cstdint>

#include "tui/events.hpp"

namespace qm {

// A key in a text shown to read: ↑/↓/j/k move a line, PgUp/PgDn a page, any other key closes it.
// The run loop keeps `scroll` within the text, which only drawing can measure.
void reader_key(uint16_t& scroll, bool& open, const tui::KeyEvent& key);

}  // namespace qm
