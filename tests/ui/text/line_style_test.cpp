#include "ui/text/line_style.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/text/palette.hpp"

namespace {

namespace palette = qm::palette;
using tui::Span;
using tui::Style;

const Style kPlain{};
const Style kBase = tui::fg(palette::text_base);
const Style kMuted = tui::fg(palette::text_muted);
const Style kDim = tui::fg(palette::text_dim);
const Style kBright = tui::fg(palette::text_bright);
const Style kTitle = tui::fg(palette::text_muted).bold();
const Style kAccent = tui::fg(palette::accent_soft).bold();
const Style kKeyCap = tui::fg(palette::text_bright).with_bg(palette::bg_key).bold();
const Style kOk = tui::fg(palette::ok).bold();
const Style kBad = tui::fg(palette::bad).bold();
const Style kWarn = tui::fg(palette::warn).bold();

std::vector<Span> styled(std::string_view line, std::optional<std::string_view> next = {}) {
  const tui::Line result = qm::style_detail_line(line, next);
  EXPECT_EQ(result.plain(), line) << "the pieces must spell the line";
  return result.spans;
}

std::vector<Span> spans(std::initializer_list<Span> pieces) {
  return pieces;
}

TEST(StyleDetailLine, GroupTitle) {
  EXPECT_EQ(styled("Parameters", "  use_sim_time: true"), spans({{"Parameters", kTitle}}));
  EXPECT_EQ(styled("  Launch files ", "    robot.launch.py"),
            spans({{"  ", kPlain}, {"Launch files ", kTitle}}));
  // Misses: no deeper next line, no next line, a sentence, a colon, a digit first, a heading.
  EXPECT_EQ(styled("Parameters", "use_sim_time"), spans({{"Parameters", kBase}}));
  EXPECT_EQ(styled("  Parameters", "  x"), spans({{"  ", kPlain}, {"Parameters", kBase}}));
  EXPECT_EQ(styled("Parameters", "    "), spans({{"Parameters", kBase}}));
  EXPECT_EQ(styled("Parameters"), spans({{"Parameters", kBase}}));
  EXPECT_EQ(styled("Nothing more.", "  x"), spans({{"Nothing more.", kBase}}));
  EXPECT_EQ(styled("Checks:", "  x"), spans({{"Checks:", kBase}}));
  EXPECT_EQ(styled("3 nodes", "  x"), spans({{"3 nodes", kBase}}));
  EXPECT_EQ(styled(std::string(41, 'a'), "  x"), spans({{std::string(41, 'a'), kBase}}));
  EXPECT_EQ(styled("LIVE RATES", "  x"), spans({{"LIVE RATES", kAccent}}));
}

TEST(StyleDetailLine, ChosenItem) {
  EXPECT_EQ(styled("› /talker: chosen"), spans({{"› /talker: chosen", kAccent}}));
  EXPECT_EQ(styled("  › next"), spans({{"  ", kPlain}, {"› next", kAccent}}));
  EXPECT_EQ(styled("›/talker"), spans({{"›/talker", kBase}}));
}

TEST(StyleDetailLine, UpperCaseHeading) {
  EXPECT_EQ(styled("LIVE RATES  measured at 10 Hz"),
            spans({{"LIVE RATES", kAccent}, {"  measured at 10 Hz", kMuted}}));
  // The rest is split at separators, keeps its status tokens, and has no key-value pairs.
  EXPECT_EQ(styled("GRAPH CHECKS (3) run · rate: 5 [failed]"), spans({{"GRAPH CHECKS", kAccent},
                                                                      {" (3) run ", kMuted},
                                                                      {"·", kDim},
                                                                      {" rate: 5 ", kMuted},
                                                                      {"[failed]", kBad}}));
  EXPECT_EQ(styled("TF FRAMES"), spans({{"TF FRAMES", kAccent}}));
  // Misses: a first word with a colon, too few capitals, a lower-case start.
  EXPECT_EQ(styled("FPS: 30"), spans({{"FPS:", kMuted}, {" 30", kBright}}));
  EXPECT_EQ(styled("ROS 2 humble"), spans({{"ROS 2 humble", kBase}}));
  EXPECT_EQ(styled("ABC DE"), spans({{"ABC DE", kBase}}));
  EXPECT_EQ(styled("Mode LIVE NOW"), spans({{"Mode LIVE NOW", kBase}}));
}

TEST(StyleDetailLine, LabelColumn) {
  EXPECT_EQ(styled("Mode           live"), spans({{"Mode           ", kMuted}, {"live", kBright}}));
  EXPECT_EQ(styled("Readiness  ready"), spans({{"Readiness  ", kMuted}, {"ready", kOk}}));
  EXPECT_EQ(styled("Updated    none"), spans({{"Updated    none", kMuted}}));
  EXPECT_EQ(styled("ROS distribution jazzy [blocked]"),
            spans({{"ROS distribution ", kMuted}, {"jazzy ", kBright}, {"[blocked]", kWarn}}));
  // Misses: the value at offset 5 or exactly 10, an indented line, a label without a space.
  EXPECT_EQ(styled("Mode live"), spans({{"Mode live", kBase}}));
  EXPECT_EQ(styled("Mode      live"), spans({{"Mode      live", kBase}}));
  EXPECT_EQ(styled("  Mode           live"),
            spans({{"  ", kPlain}, {"Mode           live", kBase}}));
  EXPECT_EQ(styled("Modes          live"), spans({{"Modes          live", kBase}}));
}

TEST(StyleDetailLine, KeyLine) {
  EXPECT_EQ(styled("p  pause: playback"), spans({{"p", kKeyCap}, {"  pause: playback", kBase}}));
  EXPECT_EQ(styled("Space  toggle"), spans({{"Space", kKeyCap}, {"  toggle", kBase}}));
  EXPECT_EQ(styled("x  "), spans({{"x", kKeyCap}, {"  ", kBase}}));
  // Misses: one space, an indented key, a key that is not one of the four.
  EXPECT_EQ(styled("p pause"), spans({{"p pause", kBase}}));
  EXPECT_EQ(styled("  r  record"), spans({{"  ", kPlain}, {"r  record", kBase}}));
  EXPECT_EQ(styled("q  quit"), spans({{"q  quit", kBase}}));
}

TEST(StyleDetailLine, StatusColumn) {
  EXPECT_EQ(
      styled("passed  talker_check · 2 s [error]"),
      spans({{"passed", kOk}, {"  ", kBase}, {"talker_check · 2 s ", kBright}, {"[error]", kBad}}));
  EXPECT_EQ(styled("  [FAILED]  rate: 3"),
            spans({{"  ", kPlain}, {"[FAILED]", kBad}, {"  ", kBase}, {"rate: 3", kBright}}));
  // Misses: a single space, an unknown word, two words before the gap.
  EXPECT_EQ(styled("passed talker"), spans({{"passed talker", kBase}}));
  EXPECT_EQ(styled("timed-out  check"), spans({{"timed-out  check", kBase}}));
  EXPECT_EQ(styled("was passed  check"), spans({{"was passed  check", kBase}}));
}

TEST(StyleDetailLine, Bullet) {
  EXPECT_EQ(styled("• rate: 10 Hz"), spans({{"•", kDim}, {" rate:", kMuted}, {" 10 Hz", kBright}}));
  EXPECT_EQ(styled("  • item [skipped]"),
            spans({{"  ", kPlain},
                   {"•", kDim},
                   {" item ", kBase},
                   {"[skipped]", tui::fg(palette::text_skipped).bold()}}));
  EXPECT_EQ(styled("◦ item"), spans({{"◦ item", kBase}}));
}

TEST(StyleDetailLine, SegmentsWithKeyValuePairs) {
  EXPECT_EQ(styled("rate: 10 Hz · status: [passed]"), spans({{"rate:", kMuted},
                                                             {" 10 Hz ", kBright},
                                                             {"·", kDim},
                                                             {" status:", kMuted},
                                                             {" [passed]", kOk}}));
  EXPECT_EQ(styled("source: none · node: unknown"),
            spans({{"source: none ", kMuted}, {"·", kDim}, {" node: unknown", kMuted}}));
  EXPECT_EQ(styled("Launch file path: a: b"),
            spans({{"Launch file path:", kMuted}, {" a: b", kBright}}));
  // Keys that miss: a path, punctuation, six words, more than 40 bytes, no space after ":".
  EXPECT_EQ(styled("/tf: static"), spans({{"/tf: static", kBase}}));
  EXPECT_EQ(styled("a, b: c"), spans({{"a, b: c", kBase}}));
  EXPECT_EQ(styled("v1.2: ok"), spans({{"v1.2: ok", kBase}}));
  EXPECT_EQ(styled("one two three four five six: x"),
            spans({{"one two three four five six: x", kBase}}));
  const std::string long_key = std::string(41, 'k') + ": v";
  EXPECT_EQ(styled(long_key), spans({{long_key, kBase}}));
  EXPECT_EQ(styled("time:12"), spans({{"time:12", kBase}}));
}

TEST(StyleDetailLine, BracketedStatusTokens) {
  EXPECT_EQ(styled("check [failed] twice"),
            spans({{"check ", kBase}, {"[failed]", kBad}, {" twice", kBase}}));
  EXPECT_EQ(styled("[[ok]]"), spans({{"[", kBase}, {"[ok]", kOk}, {"]", kBase}}));
  EXPECT_EQ(styled("[timed-out] [ ok ] [] [ok"), spans({{"[timed-out] [ ok ] [] [ok", kBase}}));
  tui::Line line;
  qm::append_with_status_tokens(line, "a [running]",
                                tui::fg(palette::text_dim).with_bg(palette::bg_bar));
  ASSERT_EQ(line.spans.size(), 2u);
  EXPECT_EQ(line.spans[1].style, tui::fg(palette::info).with_bg(palette::bg_bar).bold());
}

TEST(StyleDetailLine, EmptyAndBlankLines) {
  EXPECT_TRUE(styled("").empty());
  EXPECT_EQ(styled("   "), spans({{"   ", kPlain}}));
  // Odd bytes and wide text still come back whole.
  styled("日本語: \xff · [ok] ·· •");
  styled("\t• a: b");
}

}  // namespace
