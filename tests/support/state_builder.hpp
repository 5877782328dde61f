#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "app/core/app_state.hpp"
#include "input/navigation.hpp"
#include "support/documents.hpp"

namespace qm::testing {

// A state over `document`, showing `view`, with view saving on, as after the start.
inline AppState state_of(DocumentPtr document, View view = View::health,
                         std::optional<std::string> channel = std::nullopt) {
  AppState state;
  state.model = build_model(std::move(document));
  state.request_channel_path = std::move(channel);
  state.view = view;
  rebuild_rows(state);
  state.view_saving_enabled = true;
  state.last_saved_view_state = view_state(state);
  return state;
}
inline AppState state_of(const nlohmann::json& document, View view = View::health,
                         std::optional<std::string> channel = std::nullopt) {
  return state_of(document_of(document), view, std::move(channel));
}

}  // namespace qm::testing
