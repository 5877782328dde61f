#include "model/view_state.hpp"

#include "base/char_class.hpp"
#include "base/unicode.hpp"
#include "model/app_state.hpp"
#include "model/limits.hpp"

namespace qm {

namespace {

// The id without control and bidirectional characters, cut to its first characters.
std::string view_state_id(std::string_view id) {
  std::string out;
  std::size_t characters = 0;
  for (std::size_t offset = 0; offset < id.size() && characters < limits::selected_id_length;) {
    const base::DecodedChar c = base::decode_utf8(id, offset);
    if (!base::is_unsafe_character(c.value)) {
      out.append(id.substr(offset, c.length));
      ++characters;
    }
    offset += c.length;
  }
  return out;
}

}  // namespace

std::string_view current_id(const AppState& state) {
  const Row* row = state.selected_row();
  return row != nullptr ? std::string_view(row->id) : std::string_view(state.selected_id);
}

ViewState view_state(const AppState& state) {
  return ViewState{view_index(state.view), state.filter, view_state_id(current_id(state))};
}

}  // namespace qm
