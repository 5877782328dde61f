#include "ui/styles.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "support/buffer_matchers.hpp"
#include "ui/palette.hpp"

namespace {

namespace palette = qm::palette;
using tui::Color;
using tui::fg;

TEST(StatusColour, NormalisesBeforeLookingUp) {
  EXPECT_EQ(qm::status_colour("[FAILED]"), palette::bad);
  EXPECT_EQ(qm::status_colour(" Passed "), palette::ok);
  EXPECT_EQ(qm::status_colour("[[ok]]"), palette::ok);
  EXPECT_EQ(qm::status_colour("\tRUNNING\n"), palette::info);
  // Trimming comes before the brackets go, so spaces inside brackets stay.
  for (const char* unknown :
       {"[ ok ]", "timed-out", "passing", "", "[]", "a-very-long-unknown-status"}) {
    EXPECT_EQ(qm::status_colour(unknown), std::nullopt) << unknown;
  }
}

TEST(StatusColour, EveryWordOfEveryGroup) {
  const auto expect_group = [](const std::vector<std::string_view>& words, Color colour) {
    for (const std::string_view word : words) {
      EXPECT_EQ(qm::status_colour(word), colour) << word;
    }
  };
  expect_group({"ok", "pass", "ready", "added", "passed", "success", "finished", "succeeded"},
               palette::ok);
  expect_group({"fail", "died", "error", "abort", "failed", "aborted", "removed", "timed_out"},
               palette::bad);
  expect_group({"blocked", "warning", "changed", "ambiguous", "unmeasured", "unavailable"},
               palette::warn);
  expect_group({"running", "measured", "observed"}, palette::info);
  expect_group({"skip", "skipped", "canceled", "cancelled", "not-requested", "not_requested"},
               palette::text_skipped);
}

TEST(RgbToIndexed, EveryPaletteColour) {
  // Worked by hand from the rules: each channel to its nearest cube level, then the grey ramp
  // (j from the integer average) wins only when strictly nearer.
  // accent #7c7cff: 124→135 (2), 124→135 (2), 255 (5): 16+72+12+5 = 105; grey 168 is far.
  EXPECT_EQ(qm::rgb_to_indexed(palette::accent), 105);
  // accent_soft #a5a5ff: 165→175 (3), 165→175 (3), 255 (5): 16+108+18+5 = 147.
  EXPECT_EQ(qm::rgb_to_indexed(palette::accent_soft), 147);
  // bg_base #0a0a0b: average 10, j 0, grey 8 (distance 17) beats black (321): 232.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bg_base), 232);
  // bg_bar #141418: average 21, j 1, grey 18 (44) beats black (1376): 233.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bg_bar), 233);
  // bg_panel #16161b: average 23, j 2, grey 28 (73): 234.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bg_panel), 234);
  // bg_selection #23233c: cube 17 (0,0,95) at 3675; average 43, j 4, grey 48 at 482: 236.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bg_selection), 236);
  // bg_key #2a2a33: average 45, j 4, grey 48 (81): 236.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bg_key), 236);
  // rule #2e2e36: average 48, j 4, grey 48 (44): 236.
  EXPECT_EQ(qm::rgb_to_indexed(palette::rule), 236);
  // on_accent #0b0b14: average 14, j 1, grey 18 (102) beats black (642): 233.
  EXPECT_EQ(qm::rgb_to_indexed(palette::on_accent), 233);
  // text_base #c9c9cf: cube 215s at 456; average 203, j 20, grey 208 (99): 252.
  EXPECT_EQ(qm::rgb_to_indexed(palette::text_base), 252);
  // text_bright #ededef: cube 255s at 904; average 237, j 23, grey 238 (3): 255.
  EXPECT_EQ(qm::rgb_to_indexed(palette::text_bright), 255);
  // text_muted #8b8b93: cube 135s at 176; average 141, j 13, grey 138 (83): 245.
  EXPECT_EQ(qm::rgb_to_indexed(palette::text_muted), 245);
  // text_dim #62626c: cube 95s at 187; average 101, j 9, grey 98 (100): 241.
  EXPECT_EQ(qm::rgb_to_indexed(palette::text_dim), 241);
  // text_skipped #8e8e96: cube 135s at 323; average 144, j 14, grey 148 (76): 246.
  EXPECT_EQ(qm::rgb_to_indexed(palette::text_skipped), 246);
  // ok #4cc38a: 76→95 (1); 195 is 20 from both 175 and 215, so the lower 175 (3) wins;
  // 138→135 (2): 16+36+18+2 = 72.
  EXPECT_EQ(qm::rgb_to_indexed(palette::ok), 72);
  // warn #f5a524: 245→255 (5), 165→175 (3), 36→0 (0): 16+180+18 = 214.
  EXPECT_EQ(qm::rgb_to_indexed(palette::warn), 214);
  // bad #f2555a: 242→255 (5), 85→95 (1), 90→95 (1): 16+180+6+1 = 203.
  EXPECT_EQ(qm::rgb_to_indexed(palette::bad), 203);
  // info #7aa7ff: 122→135 (2), 167→175 (3), 255 (5): 16+72+18+5 = 111.
  EXPECT_EQ(qm::rgb_to_indexed(palette::info), 111);
}

TEST(RgbToIndexed, TiesAndTheEndsOfTheGreyRamp) {
  // 115 lies midway between 95 and 135: the lower level wins.
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(115, 0, 0)), 52);
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(0, 0, 0)), 16);
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(255, 255, 255)), 231);
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(8, 8, 8)), 232);
  // Average 243 gives j 24: the grey level stops at 238, and the index is 255.
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(243, 243, 243)), 255);
  // Equal distances keep the cube: (4,4,4) is 48 from black and 48 from grey 8.
  EXPECT_EQ(qm::rgb_to_indexed(Color::rgb_color(4, 4, 4)), 16);
}

TEST(LowerFrameColours, ReplacesOnlyRgbColours) {
  tui::Buffer frame(tui::Rect{0, 0, 3, 1});
  frame.at(0, 0).fg = palette::accent;
  frame.at(0, 0).bg = palette::bg_base;
  frame.at(1, 0).fg = Color::indexed_color(3);
  frame.at(2, 0).bg = palette::warn;
  qm::lower_frame_colours(frame);
  EXPECT_CELLS(frame, {{0, 0, fg(Color::indexed_color(105)).with_bg(Color::indexed_color(232))},
                       {1, 0, fg(Color::indexed_color(3)).with_bg(Color{})},
                       {2, 0, fg(Color{}).with_bg(Color::indexed_color(214))}});
}

TEST(ColourPolicy, TruecolourFromColorterm) {
  for (const char* value : {"truecolor", "TrueColor", "24bit", "24BIT"}) {
    EXPECT_TRUE(qm::truecolour_from_colorterm(value)) << value;
  }
  for (const char* value :
       {"24-bit", "truecolour", " truecolor", "", static_cast<const char*>(nullptr)}) {
    EXPECT_FALSE(qm::truecolour_from_colorterm(value)) << (value != nullptr ? value : "(unset)");
  }
}

TEST(ColourPolicy, NoColorTurnsColourOffOnlyWhenSetToSomething) {
  EXPECT_TRUE(qm::no_color_from("1"));
  EXPECT_TRUE(qm::no_color_from("0"));
  EXPECT_FALSE(qm::no_color_from(""));
  EXPECT_FALSE(qm::no_color_from(nullptr));
}

}  // namespace
