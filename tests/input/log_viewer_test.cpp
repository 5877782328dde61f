#include "input/log_viewer.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "model/reload.hpp"
#include "support/documents.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"
#include "ui/log_overlay.hpp"
#include "ui/overlay_box.hpp"

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
  // The backend writes `next` as the page on hand, and the run loop reloads.
  void arrive(const json& next) {
    apply_reload(state, testing::document_of(log_document(next)));
    continue_to_log_end(state);
  }
  // The start of each request line since the last call.
  std::vector<std::string> starts() {
    std::vector<std::string> out;
    for (const std::string& request : requests()) {
      out.push_back(request.substr(0, request.find(' ')));
    }
    return out;
  }
  // The rows of the panel as drawn in a terminal of the recorded size.
  std::vector<std::string> panel_rows() const {
    tui::Buffer buffer(state.frame_area());
    draw_launch_log(buffer, log_box(buffer.area()), state);
    return buffer.rows();
  }
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

// A page of the default settings from `start`, followed by `next` (null on the last page).
json page_at(uint64_t start, const json& next, const json& extra = json::object()) {
  json out = page("all", {{"start", start}, {"next_start", next}, {"at_end", next.is_null()}});
  out.update(extra);
  return out;
}

TEST(LogViewer, EndFollowsThePagesToTheLast) {
  const json other_severity = page("error");
  const struct {
    const char* name;
    json on_hand;
    std::vector<json> arrivals;
    std::vector<std::string> starts;
    bool still_following;
  } cases[] = {
      {"each arrival asks for the next start",
       page_at(0, 19),
       {page_at(19, 38), page_at(38, 57), page_at(57, nullptr)},
       {"19", "38", "57"},
       false},
      {"without a page of these settings it starts at line 0",
       other_severity,
       {page_at(0, 19), page_at(19, nullptr)},
       {"0", "19"},
       false},
      {"the page on hand written again is not the awaited one",
       page_at(0, 19),
       {page_at(0, 19), page_at(19, 38)},
       {"19", "38"},
       true},
      {"an awaited start under other settings is not the page",
       page_at(0, 19),
       {page("error", {{"start", 19}, {"next_start", 38}})},
       {"19"},
       true},
      {"the last page on hand asks for nothing", page_at(40, nullptr), {}, {}, false},
      {"a next start that does not move on stops", page_at(40, 40), {}, {}, false},
      {"a next start that is no line number stops", page_at(40, "later"), {}, {}, false},
      {"an unreadable page stops",
       page_at(0, 19),
       {page_at(19, 38, {{"status", "unavailable"}})},
       {"19"},
       false},
      {"a last page at another start still ends it",
       page_at(0, 19),
       {page_at(25, nullptr)},
       {"19"},
       false},
  };
  for (const auto& c : cases) {
    Viewer viewer(log_document(c.on_hand));
    handle_key(viewer.state, key(KeyCode::end));
    for (const json& arrival : c.arrivals) {
      viewer.channel->from(viewer.state);
      viewer.arrive(arrival);
    }
    EXPECT_EQ(viewer.starts(), c.starts) << c.name;
    EXPECT_EQ(viewer.state.log.end_follow.has_value(), c.still_following) << c.name;
  }
}

TEST(LogViewer, AnyOtherPageRequestOrClosingStopsEnd) {
  const struct {
    const char* name;
    std::vector<tui::KeyEvent> keys;
    std::vector<std::string> starts;
    bool following;
  } cases[] = {
      {"Home", {key(KeyCode::home)}, {"0"}, false},
      {"g", {key(U'g')}, {"0"}, false},
      {"PgUp", {key(KeyCode::page_up)}, {"20"}, false},
      {"a severity", {key(U'e')}, {"0"}, false},
      {"context", {key(U'c')}, {"0"}, false},
      {"refresh", {key(U'r')}, {"40"}, false},
      {"closing", {key(KeyCode::escape)}, {}, false},
      // Scrolling, panning, wrapping and End again ask for no page: the way goes on.
      {"scrolling", {key(U'j'), key(KeyCode::right), key(U'W'), key(U'G')}, {}, true},
  };
  for (const auto& c : cases) {
    Viewer viewer(log_document(page("all")));
    handle_key(viewer.state, key(U'G'));
    EXPECT_EQ(viewer.starts(), std::vector<std::string>{"60"}) << c.name;
    for (const tui::KeyEvent& k : c.keys) {
      handle_key(viewer.state, k);
    }
    EXPECT_EQ(viewer.starts(), c.starts) << c.name;
    viewer.arrive(page_at(60, 79));
    EXPECT_EQ(viewer.starts(),
              c.following ? std::vector<std::string>{"79"} : std::vector<std::string>{})
        << c.name;
  }
  // A resize asks for the page again at the new height.
  Viewer resized(log_document(page("all")));
  handle_key(resized.state, key(KeyCode::end));
  request_log_page_after_resize(resized.state, 40);
  EXPECT_FALSE(resized.state.log.end_follow);
  // A page request that could not be written leaves nothing to wait for.
  Viewer failing(log_document(page("all")));
  failing.channel->failure = "disk full";
  handle_key(failing.state, key(KeyCode::end));
  failing.channel->from(failing.state);
  EXPECT_FALSE(failing.state.log.end_follow);
  EXPECT_EQ(failing.state.status, "Request failed: disk full");
}

// A last page of `count` lines numbered from `first`, the line numbered `long_line` long enough
// to wrap in a 100-column terminal.
json last_page(int first, int count, int long_line = 0) {
  json lines = json::array();
  for (int number = first; number < first + count; ++number) {
    std::string text = "line " + std::to_string(number);
    if (number == long_line) {
      for (int word = 0; word < 30; ++word) {
        text += " word";
      }
    }
    lines.push_back({{"number", number}, {"text", text}});
  }
  return page_at(static_cast<uint64_t>(first), nullptr, {{"lines", lines}});
}

TEST(LogViewer, EndShowsTheLastLineAboveTheEndNote) {
  const struct {
    const char* name;
    json last;
    bool wrap;
    uint16_t scroll;
  } cases[] = {
      // 10 lines of headings, 19 lines and the end note fill the 30 rows inside the borders.
      {"a full page fits", last_page(20, 19), false, 0},
      {"a longer page is scrolled to its end", last_page(20, 25), false, 6},
      // Wrapped, the legend and the long line take a second row each.
      {"wrapped lines take their rows", last_page(20, 25, 30), true, 8},
  };
  for (const auto& c : cases) {
    Viewer viewer(log_document(page_at(0, 20)));
    viewer.state.frame_width = 100;
    viewer.state.log.wrap = c.wrap;
    handle_key(viewer.state, key(KeyCode::end));
    // The bottom border says that End is on its way until the last page is on hand.
    EXPECT_NE(viewer.panel_rows().at(33).find(" … "), std::string::npos) << c.name;
    viewer.arrive(c.last);
    EXPECT_EQ(viewer.state.log.line_scroll, c.scroll) << c.name;
    const std::vector<std::string> rows = viewer.panel_rows();
    EXPECT_EQ(rows.at(33).find("…"), std::string::npos) << c.name;
    // The panel's last inner row lies just above its bottom border (row 33 of 36).
    const std::size_t bottom = 32;
    EXPECT_NE(rows.at(bottom).find("End of matching retained lines."), std::string::npos)
        << c.name << "\n"
        << rows.at(bottom);
    const std::string last_number = std::to_string(c.last["lines"].back()["number"].get<int>());
    EXPECT_NE(rows.at(bottom - 1).find(last_number + "  line"), std::string::npos)
        << c.name << "\n"
        << rows.at(bottom - 1);
  }
}

TEST(LogViewer, WrapTogglesPanningAndKeepsTheTopLine) {
  Viewer viewer(log_document(last_page(20, 25, 22)));
  viewer.state.frame_width = 100;
  // Line 14 of the panel (the fifth retained line) is at the top; above it the legend (line 8)
  // and line 12 take two rows each when wrapped.
  handle_key(viewer.state, key(KeyCode::right));
  for (int i = 0; i < 14; ++i) {
    handle_key(viewer.state, key(U'j'));
  }
  ASSERT_EQ(viewer.state.log.line_scroll, 14);
  const struct {
    tui::KeyEvent key;
    bool wrap;
    uint16_t scroll;
    uint16_t column;
    bool border_says_wrap;
  } steps[] = {
      {key(U'W'), true, 16, 8, true},
      // ←/→ do not pan wrapped lines.
      {key(KeyCode::right), true, 16, 8, true},
      // Row 17 is the first row of line 15.
      {key(U'j'), true, 17, 8, true},
      {key(U'W'), false, 15, 8, false},
      {key(KeyCode::left), false, 15, 0, false},
  };
  for (const auto& step : steps) {
    handle_key(viewer.state, step.key);
    EXPECT_EQ(viewer.state.log.wrap, step.wrap);
    EXPECT_EQ(viewer.state.log.line_scroll, step.scroll);
    EXPECT_EQ(viewer.state.log.column_scroll, step.column);
    const std::vector<std::string> rows = viewer.panel_rows();
    const std::string& border = rows.at(33);
    EXPECT_EQ(border.find(" wrap ") != std::string::npos, step.border_says_wrap) << border;
  }
}

}  // namespace
}  // namespace qm
