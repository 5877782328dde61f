#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/run_loop.hpp"
#include "model/staleness.hpp"
#include "support/key_events.hpp"
#include "support/session_on_disk.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;

// Times out `waits` times, calling `before_wait` first each time, then quits; notes the age the
// header shows in each frame.
class IdleTerminal : public LoopTerminal {
 public:
  IdleTerminal(int waits, std::function<void(int)> before_wait)
      : waits_(waits), before_wait_(std::move(before_wait)) {}

  std::expected<void, Error> draw(const AppState& state) override {
    drawn_ages.push_back(stale_age_text(state).value_or(""));
    return {};
  }
  std::expected<std::optional<tui::Event>, Error> wait_event(std::chrono::milliseconds,
                                                             int) override {
    ++waited_;
    before_wait_(waited_);
    if (waited_ > waits_) {
      return std::optional<tui::Event>(testing::key(U'q'));
    }
    return std::optional<tui::Event>();
  }
  std::expected<void, Error> resume() override { return {}; }
  void copy_to_clipboard(std::string_view) override {}
  tui::Size size() override { return {120, 36}; }

  std::vector<std::string> drawn_ages;

 private:
  int waits_;
  int waited_ = 0;
  std::function<void(int)> before_wait_;
};

nlohmann::json live_document() {
  return {{"schema", "quillmesh.terminal-session/1"},
          {"mode", "live"},
          {"runtime", {{"updated_at", "2026-03-14T09:26:53Z"}}},
          {"entities", nlohmann::json::array()}};
}

TEST(StaleRedraw, TheLoopRedrawsWhenTheShownAgeChangesAndARewriteEndsIt) {
  testing::SessionOnDisk fixture(live_document());
  // Each turn of the loop is a second on the viewer's clock; the document is rewritten at the
  // 80th.
  IdleTerminal terminal(100, [&](int wait) {
    if (wait == 80) {
      fixture.rewrite(live_document(), 2000);
    }
  });
  int ticks = 0;
  const auto clock = [&] { return std::chrono::steady_clock::time_point(1h + ticks++ * 1s); };
  ASSERT_TRUE(run_loop(terminal, fixture.state, fixture.watch, nullptr, clock));

  std::vector<std::string> expected{""};
  for (int second = 30; second < 60; ++second) {
    expected.push_back(std::to_string(second) + " s ago");
  }
  // Nothing new to show until the minute, then nothing until the rewrite.
  expected.push_back("1 min ago");
  expected.push_back("");
  EXPECT_EQ(terminal.drawn_ages, expected);
}

}  // namespace
}  // namespace qm
