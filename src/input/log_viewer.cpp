#include "input/log_viewer.hpp"

#include <algorithm>
#include <string>

#include "app/core/layout_numbers.hpp"
#include "input/request_channel.hpp"

namespace qm {

void open_retained_launch_log(AppState& state) {
  const auto log = string_of(member_path(state.document(), {"runtime", "launch", "log"}));
  if (log.has_value() && !log->empty()) {
    open_log_viewer(state);
  } else {
    state.status = "No retained launch log is available for this session";
  }
}

void open_log_viewer(AppState& /*state*/) {}

bool page_matches(const AppState& state) {
  const Json& document = state.document();
  const Json& page = member_path(document, {"runtime", "launch_log_page"});
  const std::optional<uint64_t> context = unsigned_of(member(page, "context"));
  return member(page, "path") == member_path(document, {"runtime", "launch", "log"}) &&
         is_string_equal(member(page, "query"), state.log.query) &&
         is_string_equal(member(page, "severity"), state.log.severity) && context &&
         *context == state.log.context;
}

void request_log_page(AppState& state, uint64_t start, uint16_t terminal_rows) {
  state.log.line_scroll = 0;
  const uint64_t limit =
      terminal_rows < log_overlay_chrome_rows + 1
          ? 1
          : std::min<uint16_t>(terminal_rows - log_overlay_chrome_rows, log_page_line_limit);
  send_request(state, "launch_log",
               nlohmann::json{{"start", start},
                              {"limit", limit},
                              {"query", state.log.query},
                              {"severity", state.log.severity},
                              {"context", state.log.context}});
}

void request_log_page_after_resize(AppState& state, uint16_t terminal_rows) {
  uint64_t start = 0;
  if (page_matches(state)) {
    start = unsigned_of(member_path(state.document(), {"runtime", "launch_log_page", "start"}))
                .value_or(0);
  }
  request_log_page(state, start, terminal_rows);
}

void log_key(AppState& state, const tui::KeyEvent& key) {
  if (key.code == tui::KeyCode::escape ||
      (key.code == tui::KeyCode::character && key.character == U'L')) {
    state.log.open = false;
  }
}

}  // namespace qm
