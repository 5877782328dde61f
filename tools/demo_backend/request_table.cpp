#include "request_table.hpp"

#include <fmt/format.h>

#include <array>

#include "assistant_requests.hpp"
#include "capture_requests.hpp"
#include "check_requests.hpp"
#include "playback_requests.hpp"
#include "request.hpp"
#include "task_requests.hpp"
#include "view_requests.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct Route {
  std::string_view action;
  RequestHandler handler;
};

constexpr std::array<Route, 39> routes = {{
    {"refresh", handle_refresh},
    {"refresh_project", handle_refresh_project},
    {"export", handle_export},
    {"inspect", handle_inspect},
    {"message_tf", handle_message_tf},
    {"config_diff", handle_config_diff},
    {"run_check", handle_run_check},
    {"cancel_check", handle_cancel_check},
    {"play", handle_play},
    {"pause", handle_pause},
    {"resume", handle_resume},
    {"stop", handle_stop},
    {"seek", handle_seek},
    {"refresh_task", handle_refresh_task},
    {"plan_experiment", handle_plan_experiment},
    {"finish_experiment", handle_finish_experiment},
    {"select_experiment", handle_select_experiment},
    {"attach_experiment", handle_attach_experiment},
    {"experiment_results", handle_experiment_results},
    {"recover_experiments", handle_recover_experiments},
    {"ai_send", handle_assistant},
    {"ai_approve", handle_assistant},
    {"ai_deny", handle_assistant},
    {"ai_cancel", handle_assistant},
    {"ai_enable", handle_assistant},
    {"ai_disable", handle_assistant},
    {"ai_setup_subscription", handle_assistant},
    {"ai_login", handle_assistant},
    {"ai_account", handle_assistant},
    {"ai_models", handle_assistant},
    {"ai_checkpoint", handle_assistant},
    {"ai_resume", handle_assistant},
    {"ai_worker_acquire", handle_assistant},
    {"ai_probe", handle_assistant},
    {"ai_connection", handle_assistant},
    {"ai_context", handle_assistant},
    {"save_view", handle_save_view},
    {"select_result", handle_select_result},
    {"launch_log", handle_launch_log},
}};

RequestHandler handler_of(std::string_view action) {
  for (const Route& route : routes) {
    if (route.action == action) {
      return route.handler;
    }
  }
  return nullptr;
}

void skip(DemoState& state, std::string_view what) {
  ++state.skipped_requests;
  state.document["notice"] =
      fmt::format("Skipped {} ({} request line{} skipped so far)", what, state.skipped_requests,
                  state.skipped_requests == 1 ? "" : "s");
}

}  // namespace

void note_skipped_lines(DemoState& state, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    skip(state, "a request line longer than 1 MiB");
  }
}

LineOutcome handle_request_line(DemoState& state, std::string_view line, const Instant& now) {
  if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
    return LineOutcome::blank;
  }
  const json body = json::parse(line, nullptr, false);
  if (body.is_discarded() || !body.is_object() || !body.contains("action") ||
      !body["action"].is_string()) {
    skip(state, "a malformed request line");
    return LineOutcome::malformed;
  }
  Request request{body, body["action"].get<std::string>(), "", false};
  if (body.contains("entity_id") && body["entity_id"].is_string()) {
    request.entity_id = cut_utf8(body["entity_id"].get_ref<const std::string&>(), 1024);
  }
  request.baseline = body.contains("side") && body["side"] == "baseline";
  const RequestHandler handler = handler_of(request.action);
  if (handler == nullptr) {
    skip(state, fmt::format("the unknown request action \"{}\"", cut_utf8(request.action, 64)));
    return LineOutcome::unknown;
  }
  try {
    handler(state, request, now);
  } catch (const json::exception&) {
    // A request whose members have types no handler expected must not end the backend.
    skip(state, fmt::format("a {} request it could not read", request.action));
    return LineOutcome::malformed;
  }
  return LineOutcome::answered;
}

}  // namespace qm::demo
