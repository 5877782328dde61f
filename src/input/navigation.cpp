#include "input/navigation.hpp"

#include <fmt/format.h>

#include "app/core/row_selection.hpp"
#include "input/request_channel.hpp"
#include "text/text.hpp"
#include "tui/unicode.hpp"

namespace qm {

namespace {

constexpr std::size_t view_state_id_limit = 512;

bool is_stripped_from_view_state(char32_t c) {
  return c < 32 || (c >= 127 && c <= 159) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

// The id without control and bidirectional characters, cut to its first 512 characters.
std::string view_state_id(std::string_view id) {
  std::string out;
  std::size_t characters = 0;
  for (std::size_t offset = 0; offset < id.size() && characters < view_state_id_limit;) {
    const tui::DecodedChar c = tui::decode_utf8(id, offset);
    if (!is_stripped_from_view_state(c.value)) {
      out.append(id.substr(offset, c.length));
      ++characters;
    }
    offset += c.length;
  }
  return out;
}

// The id of the selected row, or the remembered entity id when the selection is past the end.
std::string_view current_id(const AppState& state) {
  const Row* row = state.selected_row();
  return row != nullptr ? std::string_view(row->id) : std::string_view(state.selected_id);
}

}  // namespace

void report_selected_result(AppState& state, const std::optional<std::string>& before) {
  if (state.view == View::results && state.selected_result_id &&
      state.selected_result_id != before && state.requests) {
    send_request(state, "select_result", nlohmann::json{{"result_id", *state.selected_result_id}});
  }
}

nlohmann::json view_state(const AppState& state) {
  nlohmann::json result = nlohmann::json::object();
  result["tab"] = view_index(state.view);
  result["filter"] = state.filter;
  result["selected_id"] = view_state_id(current_id(state));
  return result;
}

void save_view_state(AppState& state) {
  if (!state.requests) {
    return;
  }
  nlohmann::json current = view_state(state);
  if (state.last_saved_view_state && *state.last_saved_view_state == current) {
    return;
  }
  if (send_request(state, "save_view", current)) {
    state.last_saved_view_state = std::move(current);
  }
}

void push_history(AppState& state) {
  state.history.push_back(
      HistoryEntry{std::string(current_id(state)), state.filter, state.view, state.detail_focus});
  if (state.history.size() > history_limit) {
    state.history.erase(state.history.begin());
  }
}

void go_back(AppState& state) {
  if (state.history.empty()) {
    return;
  }
  HistoryEntry entry = std::move(state.history.back());
  state.history.pop_back();
  state.view = entry.view;
  state.filter.clear();
  rebuild_rows(state);
  state.filter = std::move(entry.filter);
  rebuild_rows(state);
  select_row_by_id(state, entry.selected_id);
  state.detail_focus = entry.detail_focus;
}

void go_to_entity(AppState& state, std::string_view id) {
  if (id.size() < 5) {
    return;
  }
  View view;
  if (id.starts_with("node:")) {
    view = View::nodes;
  } else if (id.starts_with("frame:")) {
    view = View::tf;
  } else if (id.starts_with("topic:")) {
    view = View::topics;
  } else if (id.starts_with("problem:") || id == "health:summary") {
    view = View::health;
  } else {
    return;
  }
  const std::string target(id);
  push_history(state);
  reset_to_view(state, view);
  if (!select_row_by_id(state, target)) {
    state.status = fmt::format("{} is not in the {} capture", display_safe(target),
                               side_name(state.model.side));
  }
}

}  // namespace qm
