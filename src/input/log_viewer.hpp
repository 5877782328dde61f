#pragma once

#include <cstdint>

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `L`, and Enter or `g` on a launch problem: opens the viewer when the document retains a launch
// log, else says that there is none.
void open_retained_launch_log(AppState& state);

// Opens the viewer of the retained launch log (the caller has checked that the document holds
// one), at the top, and asks for its first page.
void open_log_viewer(AppState& state);

// Asks the backend for the page of the launch log that begins at line `start`, as long as fits a
// terminal of `terminal_rows` rows.
void request_log_page(AppState& state, uint64_t start, uint16_t terminal_rows);

// After a resize: the same page again for the new height (from line 0 when the page on hand
// belongs to other settings).
void request_log_page_after_resize(AppState& state, uint16_t terminal_rows);

// A key while the launch-log viewer is open: paging, scrolling, severity, context and search,
// or its own search entry while that is active. Esc and `L` close it. End asks for the pages
// one by one up to the last, as they arrive; any other page asked for stops it.
void log_key(AppState& state, const tui::KeyEvent& key);

// After a reload: when End awaits a page and it has arrived, asks for the next one, or shows the
// end of the last.
void continue_to_log_end(AppState& state);

}  // namespace qm
