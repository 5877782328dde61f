#pragma once

#include <memory>
#include <nlohmann/json.hpp>

#include "model/app_state.hpp"
#include "model/row_selection.hpp"
#include "model/view_state.hpp"
#include "support/documents.hpp"
#include "support/memory_requests.hpp"

namespace qm::testing {

// A state over `document`, showing `view`, with requests going to `channel`, as after the start.
inline AppState state_of(DocumentPtr document, View view = View::health,
                         std::shared_ptr<MemoryRequests> channel = nullptr) {
  AppState state;
  state.model = build_model(std::move(document));
  state.request_channel = channel != nullptr;
  state.view = view;
  rebuild_rows(state);
  state.last_saved_view_state = view_state(state);
  return state;
}
inline AppState state_of(const nlohmann::json& document, View view = View::health,
                         std::shared_ptr<MemoryRequests> channel = nullptr) {
  return state_of(document_of(document), view, std::move(channel));
}

}  // namespace qm::testing
