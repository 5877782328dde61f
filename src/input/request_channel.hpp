#pragma once

#include "model/app_state.hpp"
#include "model/outbox.hpp"

namespace qm {

// Queues one request for `action` in the outbox, after the backend's capability for it and the
// action's preconditions are checked; a refusal becomes the status message. The checked actions
// carry the selected entity's `entity_id` and the `side` shown; members of `payload` come last
// and replace automatic ones. True exactly when the request was queued. The run loop writes it
// and reports the outcome.
bool send_request(AppState& state, RequestAction action, const RequestPayload& payload = {});

}  // namespace qm
