#include "view_requests.hpp"

#include <fmt/format.h>

#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

// The viewer restores a view state only within these bounds, so nothing else is stored.
constexpr std::uint64_t last_tab = 9;
constexpr std::size_t max_filter_bytes = 256;
constexpr std::size_t max_selected_id_bytes = 512;

bool text_within(const json& body, std::string_view key, std::size_t max_bytes) {
  const auto found = body.find(key);
  return found != body.end() && found->is_string() &&
         found->get_ref<const std::string&>().size() <= max_bytes;
}

}  // namespace

void handle_save_view(DemoState& state, const Request& request, const Instant&) {
  const auto tab = unsigned_member(request.body, "tab");
  if (!tab || *tab > last_tab || !text_within(request.body, "filter", max_filter_bytes) ||
      !text_within(request.body, "selected_id", max_selected_id_bytes)) {
    state.document["notice"] = "Ignored a view state outside the viewer's bounds";
    return;
  }
  state.document["view_state"] = {{"filter", request.body["filter"]},
                                  {"selected_id", request.body["selected_id"]},
                                  {"tab", *tab}};
}

void handle_select_result(DemoState& state, const Request& request, const Instant&) {
  const auto result = text_member(request.body, "result_id", 512);
  if (!result) {
    state.document["notice"] = "Ignored a result selection without result_id";
    return;
  }
  state.document["result_selection"] = *result;
}

void handle_launch_log(DemoState& state, const Request& request, const Instant&) {
  PageRequest page;
  page.start = unsigned_member(request.body, "start").value_or(0);
  page.limit = unsigned_member(request.body, "limit").value_or(23);
  // Echoed as sent: the viewer takes the page as current only when these match its settings.
  page.query = request.body.value("query", json(""));
  page.severity = request.body.value("severity", json("all"));
  page.context = request.body.value("context", json(0));
  json& runtime = state.document["runtime"];
  state.last_page = page;
  runtime["launch_log_page"] = state.log.page(page, runtime["launch"]["log"]);
}

void handle_refresh_project(DemoState& state, const Request&, const Instant& now) {
  json& project = state.document["project"];
  project["scanned_at"] = iso_utc(now.wall_s);
  const std::size_t packages = project.value("packages", json::array()).size();
  report(state, "Sources rescanned",
         fmt::format("Source inventory rescanned at {}: {} packages, {} unresolved",
                     clock_utc(now.wall_s), packages,
                     project.value("unresolved", json::array()).size()));
}

}  // namespace qm::demo
