#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>

#include "support/temp_dir.hpp"
#include "support/tmux_session.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;
using testing::TmuxSession;

// A live session whose backend measured /scan at `rate` (none: no publisher) in capture `label`.
nlohmann::json scan_document(int label, std::optional<double> rate) {
  nlohmann::json measurement = {{"status", "no_publisher"}};
  if (rate) {
    measurement = {{"status", "measured"}, {"mean_rate_hz", *rate}};
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"mode", "live"},
          {"entities",
           {{{"id", "topic:/scan"}, {"kind", "topic"}, {"name", "/scan"}},
            {{"id", "topic:/odom"}, {"kind", "topic"}, {"name", "/odom"}}}},
          {"selection", "topic:/scan"},
          {"current",
           {{"label", "capture " + std::to_string(label)},
            {"graph", {{"edges", nlohmann::json::array()}}},
            {"rates",
             {{"topics", {{"/scan", measurement}, {"/odom", {{"mean_rate_hz", 50}}}}},
              {"expected", {{"/scan", {{"min_hz", 8}, {"max_hz", 12}}}}}}}}}};
}

TEST(RateHistoryInTmux, ARewrittenDocumentsRatesBecomeAChart) {
  for (const auto& [width, height] : {std::pair{80, 24}, std::pair{200, 60}}) {
    SCOPED_TRACE(width);
    TempDir dir;
    const std::string session = dir.file("session.json");
    const std::optional<double> rates[] = {10.0, 3.0, std::nullopt, 12.5, 10.0};
    testing::replace_file(session, scan_document(0, rates[0]).dump());
    TmuxSession tmux(std::string(QM_BINARY) + " --session " + session + "; sleep 60", width,
                     height);
    ASSERT_TRUE(tmux.wait_for_text("capture 0"));
    // Before a second sample there is no chart yet.
    tmux.send_keys("3 h");
    ASSERT_TRUE(tmux.wait_for_text("builds up while the viewer runs")) << tmux.screen();
    tmux.send_keys("h");
    // The backend's way: each capture renamed over the last, the viewer seeing each in turn.
    for (int i = 1; i < 4; ++i) {
      testing::replace_file(session, scan_document(i, rates[i]).dump());
      ASSERT_TRUE(tmux.wait_for_text("capture " + std::to_string(i), 3s)) << tmux.screen();
    }
    tmux.send_keys("h");
    ASSERT_TRUE(tmux.wait_for_text("4 samples, 1 gap")) << tmux.screen();
    std::string screen = tmux.screen();
    EXPECT_NE(screen.find("/scan · rate history"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Last 12.5 Hz · lowest 3.0 Hz · highest 12.5 Hz · mean 8.5 Hz"),
              std::string::npos)
        << screen;
    EXPECT_NE(screen.find("█"), std::string::npos) << screen;
    EXPECT_NE(screen.find("12.0"), std::string::npos) << screen;  // the declared maximum

    // The open panel takes the next sample as it arrives, and the cursor walks back to the drop.
    testing::replace_file(session, scan_document(4, rates[4]).dump());
    EXPECT_TRUE(tmux.wait_for_text("5 samples, 1 gap", 3s)) << tmux.screen();
    tmux.send_keys("Left Left Left");
    EXPECT_TRUE(tmux.wait_for_text("· 3.0 Hz · sample 2 of 5")) << tmux.screen();

    tmux.send_keys("Escape");
    EXPECT_TRUE(tmux.wait_for([](const std::string& s) {
      return s.find("rate history") == std::string::npos;
    })) << tmux.screen();
    tmux.send_keys("q");
  }
}

}  // namespace
}  // namespace qm
