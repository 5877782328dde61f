#pragma once

#include <optional>
#include <string>

#include "model/app_state.hpp"
#include "model/outbox.hpp"

namespace qm::testing {

// A request channel in memory: the lines taken from a state's outbox so far, or a failure to
// give instead.
struct MemoryRequests {
  std::string text;
  std::optional<std::string> failure;

  // Takes the requests `state` queued, as the run loop does after an event: each line is kept
  // (or fails) and its outcome noted in the state.
  MemoryRequests& from(AppState& state) {
    for (const Request& request : std::exchange(state.outbox.requests, {})) {
      std::expected<void, std::string> written;
      if (failure) {
        written = std::unexpected(*failure);
      } else {
        text += request_line(request);
      }
      note_request_outcome(state, request, written);
    }
    return *this;
  }
};

// Takes the requests of a state without a request channel, as the run loop does.
inline void deliver_without_channel(AppState& state) {
  for (const Request& request : std::exchange(state.outbox.requests, {})) {
    note_request_outcome(state, request, std::unexpected(std::string(no_request_channel)));
  }
}

}  // namespace qm::testing
