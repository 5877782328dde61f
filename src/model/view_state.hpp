#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

struct AppState;

// Where the user is, as the backend keeps it between sessions with `save_view`.
struct ViewState {
  std::size_t tab = 0;
  std::string filter;
  std::string selected_id;

  bool operator==(const ViewState&) const = default;
};

// The view state of `state`: its view, its filter and the id of the selected row (or the
// remembered entity id when the selection is past the end), that id without control and
// bidirectional characters and cut to its first 512 characters.
ViewState view_state(const AppState& state);

// The id of the selected row, or the remembered entity id when the selection is past the end.
std::string_view current_id(const AppState& state);

}  // namespace qm
