#include <gtest/gtest.h>

#include <algorithm>

#include "support/terminal_bytes.hpp"
#include "ui/frame_fixture.hpp"

namespace qm {
namespace {

// The bytes of one whole frame of the Topics view at 120x36.
std::string frame_bytes(bool truecolour, tui::EscapeOptions options) {
  AppState state = ui_test::state_for(ui_test::frame_document(), View::topics);
  state.truecolour = truecolour;
  return ui_test::frame_bytes(state, {120, 36}, options);
}

TEST(FrameOutput, ColourDepthFollowsTheTerminal) {
  // True colour: the palette goes out as 24-bit colours.
  const std::string rgb = frame_bytes(true, {});
  EXPECT_NE(rgb.find("38;2;124;124;255"), std::string::npos);  // accent border
  EXPECT_NE(rgb.find("48;2;10;10;11"), std::string::npos);     // bg_base

  // Otherwise every colour is lowered to the 256-colour palette first.
  const std::string indexed = frame_bytes(false, {});
  EXPECT_EQ(indexed.find("38;2;"), std::string::npos);
  EXPECT_EQ(indexed.find("48;2;"), std::string::npos);
  EXPECT_NE(indexed.find("38;5;105"), std::string::npos);
  EXPECT_NE(indexed.find("48;5;232"), std::string::npos);

  // NO_COLOR: no colour at all, bold kept.
  const std::string plain = frame_bytes(true, tui::EscapeOptions{.colour = false});
  const std::vector<std::string> parameters = testing::sgr_parameters(plain);
  for (const std::string& parameter : parameters) {
    EXPECT_TRUE(parameter == "0" || parameter == "1" || parameter == "22") << parameter;
  }
  EXPECT_NE(std::find(parameters.begin(), parameters.end(), "1"), parameters.end());
}

}  // namespace
}  // namespace qm
