#include "model/answers.hpp"

#include "model/row_id.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

// An answer of message-time TF or configuration diff names its entity by name, not by id.
bool names_by_name(const Json& answer, std::string_view key, RowKind kind,
                   std::string_view entity_id) {
  return answer.is_object() && row_id(kind, value_display_text(member(answer, key))) == entity_id;
}

}  // namespace

bool answered_in_detail(RequestAction action) {
  return action == RequestAction::inspect || action == RequestAction::message_tf ||
         action == RequestAction::config_diff;
}

const Json& answer_about(const Json& root, RequestAction action, std::string_view entity_id) {
  if (action == RequestAction::inspect) {
    const Json& inspection = member(root, "inspection");
    return is_string_equal(member(inspection, "entity_id"), entity_id) ? inspection : null_json();
  }
  if (action == RequestAction::message_tf) {
    const Json& result = member(root, "message_tf");
    return names_by_name(result, "topic", RowKind::topic, entity_id) ? result : null_json();
  }
  if (action == RequestAction::config_diff) {
    const Json& diff = member(root, "configuration_diff");
    return names_by_name(diff, "node", RowKind::node, entity_id) ? diff : null_json();
  }
  return null_json();
}

bool brings_new_answer(const AwaitedAnswer& awaited, const Json& before, const Json& after) {
  const Json& answer = answer_about(after, awaited.action, awaited.entity_id);
  return !answer.is_null() && answer != answer_about(before, awaited.action, awaited.entity_id);
}

bool brings_new_assistant_message(const Json& before, const Json& after) {
  const Json& messages = member_path(after, {"assistant", "messages"});
  const auto list = array_of(messages);
  return list && !list->empty() && messages != member_path(before, {"assistant", "messages"});
}

}  // namespace qm
