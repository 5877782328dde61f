#include "input/filter_entry.hpp"

#include "app/core/row_selection.hpp"
#include "tui/unicode.hpp"

namespace qm {

namespace {

// Controls and bidirectional controls would garble the prompt and the rows.
bool accepted_in_filter(const tui::KeyEvent& key) {
  const char32_t c = key.character;
  return !key.modifiers.control && c >= 32 && !(c >= 127 && c <= 159) &&
         !(c >= 0x202A && c <= 0x202E) && !(c >= 0x2066 && c <= 0x2069) && c <= 0x10FFFF &&
         !(c >= 0xD800 && c <= 0xDFFF);
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < text.size(); ++count) {
    offset += tui::decode_utf8(text, offset).length;
  }
  return count;
}

// Drops the last character, and any continuation bytes of it.
void remove_last_character(std::string& text) {
  while (!text.empty()) {
    const unsigned char last = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((last & 0xC0) != 0x80) {
      break;
    }
  }
}

}  // namespace

void start_filter_entry(AppState& state) {
  state.filter_entry = true;
  state.filter.clear();
  rebuild_rows(state);
}

void filter_key(AppState& state, const tui::KeyEvent& key) {
  switch (key.code) {
    case tui::KeyCode::character:
      if (accepted_in_filter(key) && character_count(state.filter) < filter_limit) {
        tui::append_utf8(state.filter, key.character);
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
