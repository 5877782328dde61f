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
  for (const auto& [view, name] :
       {std::pair{View::health, "demo_health_120"}, std::pair{View::topics, "demo_topics_120"}}) {
    AppState state = ui_test::state_for(demo_document(), view);
    tui::Buffer buffer(tui::Rect{0, 0, 120, 36});
    tui::Frame frame(buffer);
    record_frame_size(state, frame.area());
    draw_frame(frame, state);
    EXPECT_TRUE(ui_test::matches_golden(buffer, name)) << name;
  }
}

}  // namespace
}  // namespace qm
