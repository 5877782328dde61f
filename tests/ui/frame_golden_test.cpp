#include <gtest/gtest.h>

#include <string>

#include "frame_fixture.hpp"

namespace qm {
namespace {

using ui_test::draw;
using ui_test::frame_document;
using ui_test::matches_golden;
using ui_test::select_row;
using ui_test::state_for;

// Detail texts shaped like the views' own, so the goldens show the pane's styling and wrapping.
constexpr std::string_view health_detail =
    "Not ready: 1 error found. Start with the first problem in the list.\n"
    "\n"
    "GRAPH CHECKS  partial · 6 of 7 checks ran\n"
    "• QoS incompatible on /camera/color/image_raw: a reliable subscription never matches a "
    "best-effort publisher, so /apriltag_detector receives no images at all.\n"
    "\n"
    "Mode             live\n"
    "Backend          Live capture ready\n";

constexpr std::string_view topic_detail =
    "/camera/color/image_raw\n"
    "type: sensor_msgs/msg/Image · publishers: 1 · subscribers: 1\n"
    "LIVE RATE  received at this observer · 5 s sample\n"
    "  14.9 Hz against 14–16 Hz declared; the sample is short, so a slow start or a burst at the "
    "end of the window moves the mean noticeably.\n"
    "error  QoS incompatible [failed]\n";

constexpr std::string_view frame_detail =
    "camera_link\n"
    "PARENTS  base_link, camera_mount\n"
    "  base_link → camera_link  static\n"
    "  camera_mount → camera_link  static\n"
    "publisher attribution: topic-level candidates only; not verified transform ownership\n";

constexpr std::string_view playback_detail =
    "PLAYBACK  owned player · paused\n"
    "State            paused\n"
    "Recording        /home/robot/bags/warehouse_b_docking_2026-12-08\n"
    "p  play from the start\n"
    "Space  resume\n"
    "x  stop\n";

struct Case {
  View view;
  std::size_t selected;
  std::string_view detail;
  std::string_view name;
};

TEST(FrameGolden, FourViewsAtFourWidths) {
  const Case cases[] = {
      {View::health, 1, health_detail, "health"},
      {View::topics, 1, topic_detail, "topics"},
      {View::tf, 3, frame_detail, "tf"},
      {View::playback, 0, playback_detail, "playback"},
  };
  for (const Case& c : cases) {
    for (const uint16_t width : {99, 100, 120, 200}) {
      AppState state = state_for(frame_document(), c.view);
      select_row(state, c.selected);
      const tui::Buffer buffer = draw(state, width, 36, c.detail);
      const std::string name = std::string(c.name) + "_" + std::to_string(width);
      EXPECT_TRUE(matches_golden(buffer, name)) << name;
    }
  }
}

TEST(FrameGolden, NarrowDetailFocusReplacesTheList) {
  AppState state = state_for(frame_document(), View::topics);
  select_row(state, 1);
  state.detail_focus = true;
  EXPECT_TRUE(matches_golden(draw(state, 80, 20, topic_detail), "topics_80_detail_focus"));
}

}  // namespace
}  // namespace qm
