#include "input/filter_entry.hpp"

#include "base/unicode.hpp"
#include "input/text_entry.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"
#include "model/row_selection.hpp"

namespace qm {

void start_filter_entry(AppState& state) {
  state.filter_entry = true;
  state.filter.clear();
  rebuild_rows(state);
}

void filter_key(AppState& state, const tui::KeyEvent& key) {
  const std::optional<EntryCommand> command = command_for(filter_entry_keys(), key);
  if (!command) {
    return;
  }
  switch (*command) {
    case EntryCommand::type:
      if (accepted_character(key, true) && character_count(state.filter) < limits::filter_length) {
        base::append_utf8(state.filter, key.character);
        rebuild_rows(state);
      }
      return;
    case EntryCommand::erase:
      remove_last_character(state.filter);
      rebuild_rows(state);
      return;
    case EntryCommand::submit:
      state.filter_entry = false;
      return;
    case EntryCommand::cancel:
      state.filter_entry = false;
      state.filter.clear();
      rebuild_rows(state);
      return;
  }
}

}  // namespace qm
