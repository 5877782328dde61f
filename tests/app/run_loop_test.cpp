#include "app/run_loop.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/request_file.hpp"
#include "model/initial_state.hpp"
#include "support/documents.hpp"
#include "support/key_events.hpp"
#include "support/session_on_disk.hpp"

namespace qm {
namespace {

// Plays back a script of events (none meaning a 200 ms timeout) and counts the frames drawn.
class ScriptedTerminal : public LoopTerminal {
 public:
  explicit ScriptedTerminal(std::deque<std::optional<tui::Event>> script)
      : script_(std::move(script)) {}

  std::expected<void, Error> draw(const AppState& state) override {
    ++frames;
    drawn_statuses.push_back(state.status);
    return {};
  }
  std::expected<std::optional<tui::Event>, Error> wait_event(std::chrono::milliseconds,
                                                             int) override {
    ++waits;
    if (script_.empty()) {
      return std::optional<tui::Event>(testing::key(U'q'));
    }
    auto next = std::move(script_.front());
    script_.pop_front();
    return next;
  }
  std::expected<void, Error> resume() override {
    ++resumes;
    if (resume_failure) {
      return std::unexpected(*resume_failure);
    }
    return {};
  }

  void copy_to_clipboard(std::string_view text) override { clipboard.emplace_back(text); }
  tui::Size size() override { return {90, 30}; }

  int frames = 0;
  std::vector<std::string> drawn_statuses;
  std::vector<std::string> clipboard;
  int waits = 0;
  int resumes = 0;
  std::optional<Error> resume_failure;

 private:
  std::deque<std::optional<tui::Event>> script_;
};

tui::Event key(char32_t c, tui::KeyKind kind = tui::KeyKind::press) {
  tui::KeyEvent event = testing::key(c);
  event.kind = kind;
  return event;
}

using testing::left_click;
using testing::mouse;

// Two topics, /a selected.
testing::SessionOnDisk two_topics() {
  return testing::SessionOnDisk(nlohmann::json{
      {"schema", "quillmesh.terminal-session/1"},
      {"entities",
       nlohmann::json::array({{{"id", "topic:/a"}, {"kind", "topic"}, {"name", "/a"}},
                              {{"id", "topic:/b"}, {"kind", "topic"}, {"name", "/b"}}})},
      {"selection", "topic:/a"}});
}

TEST(RunLoop, IdleTurnsDrawNothing) {
  testing::SessionOnDisk fixture = two_topics();
  // 25 timeouts are five idle seconds.
  ScriptedTerminal terminal(std::deque<std::optional<tui::Event>>(25));
  ASSERT_TRUE(run_loop(terminal, fixture.state, fixture.watch, nullptr));
  EXPECT_EQ(terminal.frames, 1);
  EXPECT_EQ(terminal.waits, 26);
}

TEST(RunLoop, OnlyHandledEventsRedraw) {
  testing::SessionOnDisk fixture = two_topics();
  ScriptedTerminal terminal({key('j', tui::KeyKind::release), tui::PasteEvent{"text"},
                             tui::FocusGained{}, tui::FocusLost{}, std::nullopt,
                             tui::ResizeEvent{{90, 30}}, key('j'), key('k', tui::KeyKind::repeat)});
  ASSERT_TRUE(run_loop(terminal, fixture.state, fixture.watch, nullptr));
  // The first frame, the resize and the two keys.
  EXPECT_EQ(terminal.frames, 4);
  EXPECT_EQ(fixture.state.selected, 0u);
}

TEST(RunLoop, AContinueSetsTheTerminalUpAgainBeforeTheNextFrameAndAFailureEndsTheLoop) {
  testing::SessionOnDisk fixture = two_topics();
  ScriptedTerminal terminal({tui::ContinuedEvent{}, std::nullopt});
  ASSERT_TRUE(run_loop(terminal, fixture.state, fixture.watch, nullptr));
  EXPECT_EQ(terminal.resumes, 1);
  EXPECT_EQ(terminal.frames, 2);

  ScriptedTerminal failing({tui::ContinuedEvent{}, key('j')});
  failing.resume_failure = Error::os(EIO);
  EXPECT_EQ(run_loop(failing, fixture.state, fixture.watch, nullptr),
            std::unexpected(Error::os(EIO)));
  EXPECT_EQ(failing.frames, 1);
}

TEST(RunLoop, WheelMovesTheSelectionWithinTheRows) {
  testing::SessionOnDisk fixture = two_topics();
  AppState& state = fixture.state;
  ASSERT_EQ(state.view, View::topics);
  handle_event(state, mouse(tui::MouseKind::wheel_up));
  EXPECT_EQ(state.selected, 0u);
  handle_event(state, mouse(tui::MouseKind::wheel_down));
  handle_event(state, mouse(tui::MouseKind::wheel_down));
  EXPECT_EQ(state.selected, 1u);
  EXPECT_EQ(state.selected_id, "topic:/b");

  // While the launch log is open the wheel scrolls it instead, saturating at 0.
  state.log.open = true;
  handle_event(state, mouse(tui::MouseKind::wheel_down));
  handle_event(state, mouse(tui::MouseKind::wheel_up));
  handle_event(state, mouse(tui::MouseKind::wheel_up));
  EXPECT_EQ(state.log.line_scroll, 0u);
  handle_event(state, mouse(tui::MouseKind::wheel_down));
  EXPECT_EQ(state.log.line_scroll, 3u);
  EXPECT_EQ(state.selected, 1u);
}

TEST(RunLoop, ClicksOnTheRailAndTheTabStripSwitchViews) {
  testing::SessionOnDisk fixture = two_topics();
  AppState& state = fixture.state;
  state.filter = "a";
  // Wide frame: row 11 is the RECORDINGS heading, row 12 the Playback line.
  handle_event(state, left_click(5, 11));
  EXPECT_EQ(state.view, View::topics);
  handle_event(state, left_click(5, 12));
  EXPECT_EQ(state.view, View::playback);
  EXPECT_EQ(state.filter, "");
  handle_event(state, left_click(40, 12));
  EXPECT_EQ(state.view, View::playback);

  // Narrow frame: the tab strip on row 1 starts two tabs left of Playback, after the "‹" marker,
  // with " 6 Changes " on columns 1 to 11.
  state.frame_width = 90;
  state.frame_height = 30;
  handle_event(state, left_click(3, 1));
  EXPECT_EQ(state.view, View::changes);
  // While help is open a click does nothing.
  state.help_open = true;
  handle_event(state, left_click(15, 1));
  EXPECT_EQ(state.view, View::changes);
}

TEST(RunLoop, ResizeRequestsTheOpenLogPageAgainForTheNewHeight) {
  testing::TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  nlohmann::json document = {{"runtime",
                              {{"launch", {{"log", "/var/log/launch.log"}}},
                               {"launch_log_page",
                                {{"path", "/var/log/launch.log"},
                                 {"query", ""},
                                 {"severity", "all"},
                                 {"context", 0},
                                 {"start", 40}}}}}};
  AppState state = build_initial_state(testing::document_of(document), true, false);
  RequestFile file(channel);
  ScriptedTerminal terminal({});
  state.log.open = true;
  handle_event(state, tui::ResizeEvent{{100, 40}});
  EXPECT_EQ(state.frame_height, 40);
  // The page on hand is for other settings: paging starts again at line 0.
  state.log.severity = "error";
  handle_event(state, tui::ResizeEvent{{100, 17}});
  handle_event(state, tui::ResizeEvent{{100, 200}});
  deliver_outbox(state, &file, terminal);
  EXPECT_EQ(testing::read_file(channel),
            "{\"action\":\"launch_log\",\"context\":0,\"limit\":23,\"query\":\"\",\"severity\":"
            "\"all\",\"start\":40}\n"
            "{\"action\":\"launch_log\",\"context\":0,\"limit\":1,\"query\":\"\",\"severity\":"
            "\"error\",\"start\":0}\n"
            "{\"action\":\"launch_log\",\"context\":0,\"limit\":80,\"query\":\"\",\"severity\":"
            "\"error\",\"start\":0}\n");
}

TEST(RunLoop, DeliversWhatAnEventQueuedBeforeTheNextFrame) {
  testing::TempDir dir;
  const std::string channel = dir.file("requests.jsonl");
  nlohmann::json document = {
      {"schema", "quillmesh.terminal-session/1"},
      {"capabilities", {{"refresh", true}}},
      {"problems",
       {{"findings", nlohmann::json::array({{{"id", "problem:x"},
                                             {"severity", "warning"},
                                             {"title", "X"},
                                             {"detector", "graph"},
                                             {"verify", "ros2 topic hz /x"}}})}}}};
  testing::SessionOnDisk fixture(document);
  fixture.state.request_channel = true;
  RequestFile file(channel);
  ScriptedTerminal terminal({key('r'), key('j'), key('y')});
  ASSERT_TRUE(run_loop(terminal, fixture.state, fixture.watch, &file));
  EXPECT_EQ(fixture.state.frame_width, 90);
  EXPECT_EQ(terminal.drawn_statuses.at(1), "Requested refresh; awaiting backend status");
  EXPECT_EQ(terminal.clipboard, std::vector<std::string>{"ros2 topic hz /x"});
  EXPECT_TRUE(testing::read_file(channel).starts_with(
      "{\"action\":\"refresh\",\"entity_id\":\"health:summary\",\"side\":\"current\"}\n"));
  EXPECT_TRUE(fixture.state.outbox.requests.empty() && !fixture.state.outbox.clipboard);

  // Without a request channel the same key fails when written.
  testing::SessionOnDisk again(document);
  ScriptedTerminal no_channel({key('r')});
  ASSERT_TRUE(run_loop(no_channel, again.state, again.watch, nullptr));
  EXPECT_EQ(no_channel.drawn_statuses.at(1), "Request failed: No request channel configured");
}

TEST(RunLoop, KeysThatChangeTheStatusClearTheRefusalFlag) {
  testing::SessionOnDisk fixture = two_topics();
  AppState& state = fixture.state;
  state.status = "Refresh rejected; retaining previous capture: x";
  state.keep_status = true;
  handle_event(state, key('j'));
  EXPECT_TRUE(state.keep_status);
  EXPECT_EQ(state.status, "Refresh rejected; retaining previous capture: x");
  handle_event(state, key('b'));
  EXPECT_FALSE(state.keep_status);
}

}  // namespace
}  // namespace qm
