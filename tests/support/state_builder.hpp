#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/core/app_state.hpp"
#include "input/navigation.hpp"

namespace qm::testing {

// A state over `document`, showing `view`, with view saving on, as after the start.
inline AppState state_of(Json document, View view = View::health,
                         std::optional<std::string> channel = std::nullopt) {
  AppState state;
  state.model = build_model(std::make_shared<const Json>(std::move(document)));
  state.request_channel_path = std::move(channel);
  state.view = view;
  rebuild_rows(state);
  state.view_saving_enabled = true;
  state.last_saved_view_state = view_state(state);
  return state;
}

}  // namespace qm::testing
