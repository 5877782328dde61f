#pragma once

#include <string>
#include <string_view>

#include "json/json_access.hpp"
#include "model/outbox.hpp"

namespace qm {

// The user's last request whose answer the detail pane shows (a message inspection, a
// message-time TF query or a configuration diff), once its line was written: the action and the
// entity it named.
struct AwaitedAnswer {
  RequestAction action = RequestAction::inspect;
  std::string entity_id;

  bool operator==(const AwaitedAnswer&) const = default;
};

// Whether the detail pane shows the answers to `action`.
bool answered_in_detail(RequestAction action);

// The document's answer to `action` when it is about `entity_id`: the inspection whose
// `entity_id` names it, the message-time TF result whose `topic` does, or the configuration diff
// whose `node` does. Null for any other value and any other action.
const Json& answer_about(const Json& root, RequestAction action, std::string_view entity_id);

// Whether `after` holds an answer to `awaited` that `before` did not: there was none about its
// entity, or a different one.
bool brings_new_answer(const AwaitedAnswer& awaited, const Json& before, const Json& after);

// Whether `after` has assistant messages that `before` did not have, or had otherwise.
bool brings_new_assistant_message(const Json& before, const Json& after);

}  // namespace qm
