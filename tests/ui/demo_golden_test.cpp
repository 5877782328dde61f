#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "frame_fixture.hpp"

namespace qm {
namespace {

nlohmann::json demo_document() {
  std::ifstream in(std::string(QM_SOURCE_DIR) + "/examples/demo-session.json");
  std::stringstream text;
  text << in.rdbuf();
  return nlohmann::json::parse(text.str());
}

// The demo session as the viewer first draws each view, with the views' own detail pages.
TEST(FrameGolden, DemoViewsWithTheirDetailPages) {
  const std::pair<View, std::string_view> cases[] = {
      {View::health, "demo_health_120"},   {View::topics, "demo_topics_120"},
      {View::results, "results_demo_120"}, {View::playback, "playback_demo_120"},
      {View::capture, "capture_demo_120"}, {View::project, "demo_project_120"},
  };
  for (const auto& [view, name] : cases) {
    AppState state = ui_test::state_for(demo_document(), view);
    tui::Buffer buffer(tui::Rect{0, 0, 120, 36});
    tui::Frame frame(buffer);
    state.record_frame_size({120, 36});
    draw_frame(frame, state);
    EXPECT_TRUE(ui_test::matches_golden(buffer, name)) << name;
  }
}

}  // namespace
}  // namespace qm
