#include "input/log_viewer.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;
using testing::lines_of;
using testing::press;
using tui::KeyCode;

constexpr std::string_view log_path = "/tmp/launch.log";

// A document with a retained launch log and, when given, the page the backend wrote.
json log_document(const json& page = nullptr) {
  json document = testing::dispatch_document();
  document["runtime"]["launch"] = {{"state", "running"}, {"log", log_path}};
  if (!page.is_null()) {
    document["runtime"]["launch_log_page"] = page;
  }
  return document;
}

json page(std::string_view severity, const json& extra = json::object()) {
  json out = {{"path", log_path}, {"query", ""},          {"severity", severity}, {"context", 0},
              {"start", 40},      {"previous_start", 20}, {"next_start", 60}};
  out.update(extra);
  return out;
}

struct Viewer {
  std::shared_ptr<testing::MemoryRequests> channel = std::make_shared<testing::MemoryRequests>();
  AppState state;

  explicit Viewer(const json& document, uint16_t rows = 36)
      : state(testing::state_of(document, View::health, channel)) {
    state.frame_height = rows;
    handle_key(state, key(U'L'));
    channel->from(state).text.clear();
  }
  // The (start, limit, query, severity, context) of each request line since the last call.
  std::vector<std::string> requests() {
    std::vector<std::string> out;
    for (const std::string& line : lines_of(channel->from(state).text)) {
      const json request = json::parse(line);
      EXPECT_EQ(request["action"], "launch_log");
      out.push_back(request["start"].dump() + " " + request["limit"].dump() + " " +
                    request["query"].get<std::string>() + "|" +
                    request["severity"].get<std::string>() + " " + request["context"].dump());
    }
    channel->from(state).text.clear();
    return out;
  }
};

TEST(LogViewer, OpeningAsksForAPageThatFitsTheTerminal) {
  for (const auto& [rows, limit] : {std::pair{40, 23}, {17, 1}, {18, 1}, {36, 19}, {200, 80}}) {
    auto channel = std::make_shared<testing::MemoryRequests>();
    AppState state = testing::state_of(log_document(), View::health, channel);
    state.frame_height = static_cast<uint16_t>(rows);
    handle_key(state, key(U'L'));
    EXPECT_TRUE(state.log.open);
    EXPECT_EQ(json::parse(lines_of(channel->from(state).text).at(0))["limit"], limit) << rows;
  }
}

TEST(LogViewer, PagingFollowsOnlyAPageOfTheCurrentSettings) {
  Viewer viewer(log_document(page("all")));
  const struct {
    std::vector<tui::KeyEvent> keys;
    std::vector<std::string> requests;
  } steps[] = {
      {{key(KeyCode::page_up), key(KeyCode::down), key(U'r')},
       {"20 19 |all 0", "60 19 |all 0", "40 19 |all 0"}},
      // A page of another severity is no page: paging restarts at line 0.
      {{key(U'e'), key(KeyCode::up), key(KeyCode::page_down)},
       {"0 19 |error 0", "0 19 |error 0", "0 19 |error 0"}},
      {{key(U'c'), key(U'c'), key(U'w'), key(U'a')},
       {"0 19 |error 2", "0 19 |error 0", "0 19 |warning 0", "0 19 |all 0"}},
      // Search: Esc keeps the committed query, Enter commits and asks again.
      {{key(U'/'), key(U'x'), key(KeyCode::escape), key(U'/'), key(U'e'), key(U'r'),
        key(KeyCode::backspace), key(KeyCode::enter)},
       {"0 19 e|all 0"}},
      {{key(U'c'), key(U'w'), key(KeyCode::right), key(U'f')},
       {"0 19 e|all 2", "0 19 e|warning 2", "0 19 |all 0"}},
  };
  for (const auto& step : steps) {
    for (const tui::KeyEvent& k : step.keys) {
      handle_key(viewer.state, k);
    }
    EXPECT_EQ(viewer.requests(), step.requests);
  }
  EXPECT_EQ(viewer.state.log.column_scroll, 0);
  EXPECT_EQ(viewer.state.log.query, "");
}

TEST(LogViewer, ScrollingEndAndClosing) {
  Viewer viewer(log_document(page("all", {{"at_end", true}})));
  press(viewer.state, {key(KeyCode::page_down), key(U'j'), key(U'j'), key(U'k'), key(KeyCode::left),
                       key(KeyCode::right), key(KeyCode::right)});
  EXPECT_TRUE(viewer.requests().empty());
  EXPECT_EQ(viewer.state.log.line_scroll, 1);
  EXPECT_EQ(viewer.state.log.column_scroll, 16);
  // A search entry takes `L` as text; outside it `L` closes.
  press(viewer.state, {key(U'/'), key(U'L'), key(KeyCode::escape), key(U'L')});
  EXPECT_FALSE(viewer.state.log.open);
  EXPECT_TRUE(viewer.requests().empty());
  // The search is capped at 128 bytes.
  handle_key(viewer.state, key(U'L'));
  handle_key(viewer.state, key(U'/'));
  for (int i = 0; i < 50; ++i) {
    handle_key(viewer.state, key(U'€'));
  }
  EXPECT_EQ(viewer.state.log.search_input.size(), 129u);
}

}  // namespace
}  // namespace qm
