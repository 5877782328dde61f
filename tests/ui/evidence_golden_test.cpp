#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "frame_fixture.hpp"

namespace qm {
namespace {

using ui_test::matches_golden;
using ui_test::state_for;

nlohmann::json demo_document() {
  std::ifstream in(std::string(QM_SOURCE_DIR) + "/examples/demo-session.json");
  std::stringstream text;
  text << in.rdbuf();
  return nlohmann::json::parse(text.str());
}

// The views' own detail pages on the demo session, first row selected.
TEST(EvidenceGolden, ResultsCaptureAndPlaybackPages) {
  const nlohmann::json document = demo_document();
  const struct {
    View view;
    std::string_view name;
  } cases[] = {
      {View::results, "results_demo_120"},
      {View::capture, "capture_demo_120"},
      {View::playback, "playback_demo_120"},
  };
  for (const auto& c : cases) {
    AppState state = state_for(document, c.view);
    tui::Buffer buffer(tui::Rect{0, 0, 120, 36});
    tui::Frame frame(buffer);
    record_frame_size(state, frame.area());
    draw_frame(frame, state);
    EXPECT_TRUE(matches_golden(buffer, c.name)) << c.name;
  }
}

}  // namespace
}  // namespace qm
