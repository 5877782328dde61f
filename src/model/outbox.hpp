#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/json.hpp"
#include "model/view_state.hpp"

namespace qm {

// Every request the viewer sends to the backend.
enum class RequestAction : unsigned char {
  refresh,
  refresh_project,
  export_entity,
  inspect,
  message_tf,
  config_diff,
  run_check,
  cancel_check,
  play,
  pause,
  resume,
  stop,
  seek,
  refresh_task,
  plan_experiment,
  finish_experiment,
  select_experiment,
  attach_experiment,
  experiment_results,
  recover_experiments,
  ai_send,
  ai_approve,
  ai_deny,
  ai_cancel,
  ai_enable,
  ai_disable,
  ai_setup_subscription,
  ai_login,
  ai_account,
  ai_models,
  ai_checkpoint,
  ai_resume,
  ai_worker_acquire,
  ai_probe,
  ai_connection,
  ai_context,
  save_view,
  select_result,
  launch_log,
};

// The action's name on the request line ("export" for `export_entity`).
std::string_view action_name(RequestAction action);
// The action with that name, if any.
std::optional<RequestAction> action_named(std::string_view name);
// The key looked up under the document's `capabilities`; empty for the actions sent without a
// check, which also carry no `entity_id` and `side` and leave the status alone when written.
std::string_view action_category(RequestAction action);

// The members a request adds to the ones every request of its kind carries.
class RequestPayload {
 public:
  RequestPayload();
  RequestPayload& text(std::string_view key, std::string_view value);
  RequestPayload& number(std::string_view key, std::uint64_t value);
  RequestPayload& number(std::string_view key, double value);
  // A copy of a document value, as found.
  RequestPayload& value(std::string_view key, const Json& value);

 private:
  friend struct Request;
  std::shared_ptr<Document> storage_;
  std::vector<JsonMember> members_;
};

// A request waiting for the run loop to write it: the action and the whole request object.
struct Request {
  RequestAction action = RequestAction::refresh;
  std::shared_ptr<const Document> body;
  // For `save_view`: the view state that becomes the last saved one once the line is written.
  std::optional<ViewState> saved_view;

  // The request object of `action`: its `action`, the automatic members (a later one wins over
  // an earlier one) and then the payload's, which replace automatic ones of the same key.
  static Request make(RequestAction action, const RequestPayload& automatic,
                      const RequestPayload& payload);
};

// One line of compact JSON with the keys in sorted order, line feed included.
std::string request_line(const Request& request);

// What key handling leaves for the run loop to do outside the state, in order.
struct Outbox {
  std::vector<Request> requests;
  // A text for the terminal's clipboard.
  std::optional<std::string> clipboard;
};

// Why a request could not be written when the viewer has no request channel.
inline constexpr std::string_view no_request_channel = "No request channel configured";

struct AppState;

// What writing a request's line leaves in the state: "Request failed: {reason}" when it failed;
// otherwise "Requested {action}; awaiting backend status" for the checked actions, and for
// `save_view` the view state it saved.
void note_request_outcome(AppState& state, const Request& request,
                          const std::expected<void, std::string>& written);

// Whether `status` is the message of a written request that the backend has not yet answered.
bool awaits_backend(std::string_view status);

}  // namespace qm
