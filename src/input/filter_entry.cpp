#include "input/filter_entry.hpp"

#include "base/unicode.hpp"
#include "input/text_entry.hpp"
#include "model/limits.hpp"
#include "model/row_selection.hpp"

namespace qm {

void start_filter_entry(AppState& state) {
  state.filter_entry = true;
  state.filter.clear();
  rebuild_rows(state);
}

void filter_key(AppState& state, const tui::KeyEvent& key) {
  switch (key.code) {
    case tui::KeyCode::character:
      if (accepted_character(key, true) && character_count(state.filter) < limits::filter_length) {
        base::append_utf8(state.filter, key.character);
        rebuild_rows(state);
      }
      return;
    case tui::KeyCode::backspace:
      remove_last_character(state.filter);
      rebuild_rows(state);
      return;
    case tui::KeyCode::enter:
      state.filter_entry = false;
      return;
    case tui::KeyCode::escape:
      state.filter_entry = false;
      state.filter.clear();
      rebuild_rows(state);
      return;
    default:
      return;
  }
}

}  // namespace qm
