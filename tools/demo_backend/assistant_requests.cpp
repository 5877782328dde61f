#include "assistant_requests.hpp"

#include <fmt/format.h>

#include <array>

#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

constexpr double reply_delay_s = 1.5;

json& assistant_of(DemoState& state) {
  json& assistant = state.document["assistant"];
  if (!assistant.is_object()) {
    assistant = json::object();
  }
  return assistant;
}

bool enabled(const DemoState& state) {
  return state.document.value("product_mode", "") == "ai-assisted";
}

void outcome(DemoState& state, std::string_view notice) {
  assistant_of(state)["error"] = nullptr;
  state.document["notice"] = notice;
}

void refuse(DemoState& state, std::string_view error) {
  assistant_of(state)["error"] = error;
  state.document["notice"] = error;
}

std::string connection_id(DemoState& state) {
  return assistant_of(state).value("connection", json::object()).value("id", "no connection");
}

void prepare_approval(DemoState& state, const Instant& now, std::string_view action, json data) {
  json& assistant = assistant_of(state);
  if (assistant["pending_approval"].is_object()) {
    refuse(state, "An approval is already pending; approve or deny it first");
    return;
  }
  const std::string id = fmt::format("approval-{}", state.next_approval++);
  assistant["pending_approval"] = {
      {"action", action},
      {"data", std::move(data)},
      {"destination", fmt::format("ChatGPT via {}", connection_id(state))},
      {"id", id},
      {"prepared_at", iso_utc(now.wall_s)}};
  assistant["state"] = "awaiting approval";
  outcome(state, fmt::format("Prepared {} for review: y approves once, n denies", id));
}

void on_send(DemoState& state, const Request& request, const Instant& now) {
  const auto prompt = text_member(request.body, "prompt", 8192);
  if (!prompt || prompt->find_first_not_of(" \t\r\n") == std::string::npos) {
    refuse(state, "Nothing to send: the prompt is empty");
    return;
  }
  json& assistant = assistant_of(state);
  if (assistant["pending_approval"].is_object()) {
    refuse(state, "An approval is already pending; approve or deny it first");
    return;
  }
  assistant["messages"].push_back({{"role", "user"}, {"text", *prompt}});
  json data = json::array({fmt::format("prompt ({} bytes)", prompt->size())});
  for (const json& evidence :
       assistant.value("context", json::object()).value("evidence", json::array())) {
    data.push_back(
        fmt::format("{} {}", evidence.value("kind", "evidence"), evidence.value("id", "?")));
  }
  prepare_approval(state, now, "send disclosure", std::move(data));
}

void on_approve(DemoState& state, const Request& request, const Instant& now) {
  json& assistant = assistant_of(state);
  json& pending = assistant["pending_approval"];
  const auto id = text_member(request.body, "approval_id", 256);
  if (!pending.is_object() || !id || pending.value("id", "") != *id) {
    refuse(state,
           fmt::format("{} is not the pending approval; nothing was sent", id.value_or("That")));
    return;
  }
  const std::string action = pending.value("action", "");
  // The answer is to the question not yet answered, else to what was disclosed.
  std::string prompt;
  const json messages = assistant.value("messages", json::array());
  if (!messages.empty() && messages.back().value("role", "") == "user") {
    prompt = messages.back().value("text", "");
  } else {
    for (const json& item : pending.value("data", json::array())) {
      prompt += (item.is_string() ? item.get<std::string>() : item.dump()) + "; ";
    }
  }
  pending = nullptr;
  if (action == "model discovery") {
    assistant["models"] = {{"connection", connection_id(state)},
                           {"listed_at", iso_utc(now.wall_s)},
                           {"models", {"chatgpt-default", "chatgpt-reasoning"}},
                           {"note", "names as the provider listed them; not a capability claim"}};
    assistant["state"] = "idle";
    outcome(state, fmt::format("Approved {}: models listed", *id));
    return;
  }
  if (action == "resume conversation") {
    assistant["state"] = "idle";
    outcome(state, fmt::format("Approved {}: the conversation resumed from its checkpoint", *id));
    return;
  }
  // The disclosure goes out once; the answer arrives a moment later.
  state.reply = PendingReply{now.steady_s + reply_delay_s, prompt};
  assistant["state"] = "waiting for ChatGPT";
  outcome(state, fmt::format("Approved {} once; the disclosure was sent", *id));
}

void on_deny(DemoState& state, const Request& request, const Instant&) {
  json& assistant = assistant_of(state);
  const auto id = text_member(request.body, "approval_id", 256);
  if (!assistant["pending_approval"].is_object() || !id ||
      assistant["pending_approval"].value("id", "") != *id) {
    refuse(state, fmt::format("{} is not the pending approval", id.value_or("That")));
    return;
  }
  assistant["pending_approval"] = nullptr;
  assistant["state"] = "idle";
  outcome(state, fmt::format("Denied {}; nothing was sent", *id));
}

void on_cancel(DemoState& state, const Request&, const Instant&) {
  json& assistant = assistant_of(state);
  assistant["pending_approval"] = nullptr;
  state.reply.reset();
  assistant["state"] = "idle";
  outcome(state, "Cancelled the assistant's pending work");
}

void on_enable(DemoState& state, const Request&, const Instant&) {
  state.document["product_mode"] = "ai-assisted";
  json& assistant = assistant_of(state);
  if (assistant.value("state", "") == "disabled") {
    assistant["state"] = "idle";
  }
  outcome(state, "AI-assisted mode on: the assistant explains reviewed text");
}

void on_disable(DemoState& state, const Request&, const Instant&) {
  state.document["product_mode"] = "standard";
  json& assistant = assistant_of(state);
  assistant["pending_approval"] = nullptr;
  assistant["state"] = "disabled";
  state.reply.reset();
  outcome(state, "Standard mode: the assistant is off and nothing is sent");
}

void on_setup(DemoState& state, const Request&, const Instant& now) {
  assistant_of(state)["subscription_setup"] = {
      {"authentication", "not checked"},
      {"connection", "personal-chatgpt"},
      {"created_at", iso_utc(now.wall_s)},
      {"file", "~/.config/quillmesh/ai/personal-chatgpt.json (private to this user)"}};
  outcome(state, "Prepared a private local connection; l requests login separately");
}

void on_login(DemoState& state, const Request&, const Instant& now) {
  assistant_of(state)["connection"]["authentication"] =
      fmt::format("login requested at {}; not verified by the demo", clock_utc(now.wall_s));
  outcome(state, "Login requested; finish it with the provider");
}

void on_account(DemoState& state, const Request&, const Instant& now) {
  assistant_of(state)["account"] = {{"checked_at", iso_utc(now.wall_s)},
                                    {"plan", "unknown until the provider answers"},
                                    {"status", "requested"}};
  outcome(state, "Account status requested");
}

void on_models(DemoState& state, const Request&, const Instant& now) {
  prepare_approval(state, now, "model discovery",
                   json::array({fmt::format("connection {}", connection_id(state))}));
}

void on_checkpoint(DemoState& state, const Request&, const Instant& now) {
  json& assistant = assistant_of(state);
  const std::string id = fmt::format("checkpoint-{}", state.next_checkpoint++);
  assistant["checkpoint"] = {{"at", iso_utc(now.wall_s)},
                             {"id", id},
                             {"messages", assistant.value("messages", json::array()).size()}};
  outcome(state, fmt::format("Saved {}", id));
}

void on_resume(DemoState& state, const Request&, const Instant& now) {
  const json checkpoint = assistant_of(state).value("checkpoint", json());
  if (!checkpoint.is_object()) {
    refuse(state, "No checkpoint to resume; K saves one");
    return;
  }
  prepare_approval(state, now, "resume conversation",
                   json::array({fmt::format("{} ({} messages)", checkpoint.value("id", "?"),
                                            checkpoint.value("messages", 0))}));
}

void on_worker(DemoState& state, const Request&, const Instant& now) {
  assistant_of(state)["worker"] = {{"acquired_at", iso_utc(now.wall_s)},
                                   {"id", "worker-1"},
                                   {"isolation", "separate copy of the workspace; no hardware"},
                                   {"state", "ready"}};
  outcome(state, "Isolated worker ready");
}

void on_probe(DemoState& state, const Request&, const Instant& now) {
  assistant_of(state)["probe"] = {{"at", iso_utc(now.wall_s)},
                                  {"native_tools", "disabled"},
                                  {"result", "the assistant explains reviewed text only"}};
  outcome(state, "Tool probe: native tools are disabled");
}

void on_connection(DemoState& state, const Request& request, const Instant&) {
  json& assistant = assistant_of(state);
  const auto wanted = text_member(request.body, "connection_id", 256);
  for (const json& connection : assistant.value("connections", json::array())) {
    if (wanted && connection.value("id", "") == *wanted) {
      assistant["connection"] = {{"authentication", "not checked"},
                                 {"id", *wanted},
                                 {"model", "unknown until model discovery"},
                                 {"provider", connection.value("provider", "unknown")}};
      outcome(state, fmt::format("Using connection {}", *wanted));
      return;
    }
  }
  refuse(state, fmt::format("No connection named {}", wanted.value_or("(none)")));
}

void on_context(DemoState& state, const Request& request, const Instant&) {
  json& context = assistant_of(state)["context"];
  const std::string selection =
      text_member(request.body, "selection_id", 512).value_or(request.entity_id);
  json evidence = json::array();
  const auto result = text_member(request.body, "result_id", 512);
  if (result) {
    evidence.push_back({{"id", *result}, {"kind", "result"}});
  } else if (!selection.empty()) {
    const std::string kind = selection.substr(0, selection.find(':'));
    evidence.push_back({{"id", selection}, {"kind", kind == "problem" ? "finding" : kind}});
  }
  context = {{"evidence", evidence},
             {"selection_id", selection},
             {"side", request.baseline ? "baseline" : "current"}};
  outcome(state, fmt::format("Attached {} as evidence", selection.empty() ? "nothing" : selection));
}

using Handler = void (*)(DemoState&, const Request&, const Instant&);

struct Entry {
  std::string_view action;
  Handler handler;
  bool needs_enabled;  // refused while the product is in standard mode
};

constexpr std::array<Entry, 16> entries = {{
    {"ai_send", on_send, true},
    {"ai_approve", on_approve, true},
    {"ai_deny", on_deny, false},
    {"ai_cancel", on_cancel, false},
    {"ai_enable", on_enable, false},
    {"ai_disable", on_disable, false},
    {"ai_setup_subscription", on_setup, false},
    {"ai_login", on_login, false},
    {"ai_account", on_account, true},
    {"ai_models", on_models, true},
    {"ai_checkpoint", on_checkpoint, false},
    {"ai_resume", on_resume, true},
    {"ai_worker_acquire", on_worker, true},
    {"ai_probe", on_probe, true},
    {"ai_connection", on_connection, false},
    {"ai_context", on_context, false},
}};

}  // namespace

void handle_assistant(DemoState& state, const Request& request, const Instant& now) {
  for (const Entry& entry : entries) {
    if (entry.action == request.action) {
      if (entry.needs_enabled && !enabled(state)) {
        refuse(state, "The assistant is off in standard mode; m enables it");
        return;
      }
      entry.handler(state, request, now);
      return;
    }
  }
}

}  // namespace qm::demo
