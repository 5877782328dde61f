#include "ui/line_style.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/palette.hpp"

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

TEST(StyleDetailLine, EachShapeAndItsMisses) {
  struct Case {
    std::string line;
    std::vector<Span> spans;
    std::optional<std::string> next = std::nullopt;
  };
  const std::string long_key = std::string(41, 'k') + ": v";
  const Case cases[] = {
      // Group titles.
      {"Parameters", {{"Parameters", kTitle}}, "  use_sim_time: true"},
      {"  Launch files ", {{"  ", kPlain}, {"Launch files ", kTitle}}, "    robot.launch.py"},
      // Misses: no deeper next line, no next line, a sentence, a colon, a digit first, a heading.
      {"Parameters", {{"Parameters", kBase}}, "use_sim_time"},
      {"  Parameters", {{"  ", kPlain}, {"Parameters", kBase}}, "  x"},
      {"Parameters", {{"Parameters", kBase}}, "    "},
      {"Parameters", {{"Parameters", kBase}}},
      {"Nothing more.", {{"Nothing more.", kBase}}, "  x"},
      {"Checks:", {{"Checks:", kBase}}, "  x"},
      {"3 nodes", {{"3 nodes", kBase}}, "  x"},
      {std::string(41, 'a'), {{std::string(41, 'a'), kBase}}, "  x"},
      {"LIVE RATES", {{"LIVE RATES", kAccent}}, "  x"},
      // Chosen items.
      {"› /talker: chosen", {{"› /talker: chosen", kAccent}}},
      {"  › next", {{"  ", kPlain}, {"› next", kAccent}}},
      {"›/talker", {{"›/talker", kBase}}},
      // Upper-case headings.
      {"LIVE RATES  measured at 10 Hz", {{"LIVE RATES", kAccent}, {"  measured at 10 Hz", kMuted}}},
      // The rest is split at separators, keeps its status tokens, and has no key-value pairs.
      {"GRAPH CHECKS (3) run · rate: 5 [failed]",
       {{"GRAPH CHECKS", kAccent},
        {" (3) run ", kMuted},
        {"·", kDim},
        {" rate: 5 ", kMuted},
        {"[failed]", kBad}}},
      {"TF FRAMES", {{"TF FRAMES", kAccent}}},
      // Misses: a first word with a colon, too few capitals, a lower-case start.
      {"FPS: 30", {{"FPS:", kMuted}, {" 30", kBright}}},
      {"ROS 2 humble", {{"ROS 2 humble", kBase}}},
      {"ABC DE", {{"ABC DE", kBase}}},
      {"Mode LIVE NOW", {{"Mode LIVE NOW", kBase}}},
      // Label columns.
      {"Mode           live", {{"Mode           ", kMuted}, {"live", kBright}}},
      {"Readiness  ready", {{"Readiness  ", kMuted}, {"ready", kOk}}},
      {"Updated    none", {{"Updated    none", kMuted}}},
      {"ROS distribution jazzy [blocked]",
       {{"ROS distribution ", kMuted}, {"jazzy ", kBright}, {"[blocked]", kWarn}}},
      // Misses: the value at offset 5 or exactly 10, an indented line, a label without a space.
      {"Mode live", {{"Mode live", kBase}}},
      {"Mode      live", {{"Mode      live", kBase}}},
      {"  Mode           live", {{"  ", kPlain}, {"Mode           live", kBase}}},
      {"Modes          live", {{"Modes          live", kBase}}},
      // Key lines.
      {"p  pause: playback", {{"p", kKeyCap}, {"  pause: playback", kBase}}},
      {"Space  toggle", {{"Space", kKeyCap}, {"  toggle", kBase}}},
      {"x  ", {{"x", kKeyCap}, {"  ", kBase}}},
      // Misses: one space, an indented key, a key that is not one of the four.
      {"p pause", {{"p pause", kBase}}},
      {"  r  record", {{"  ", kPlain}, {"r  record", kBase}}},
      {"q  quit", {{"q  quit", kBase}}},
      // Status columns.
      {"passed  talker_check · 2 s [error]",
       {{"passed", kOk}, {"  ", kBase}, {"talker_check · 2 s ", kBright}, {"[error]", kBad}}},
      {"  [FAILED]  rate: 3",
       {{"  ", kPlain}, {"[FAILED]", kBad}, {"  ", kBase}, {"rate: 3", kBright}}},
      // Misses: a single space, an unknown word, two words before the gap.
      {"passed talker", {{"passed talker", kBase}}},
      {"timed-out  check", {{"timed-out  check", kBase}}},
      {"was passed  check", {{"was passed  check", kBase}}},
      // Bullets.
      {"• rate: 10 Hz", {{"•", kDim}, {" rate:", kMuted}, {" 10 Hz", kBright}}},
      {"  • item [skipped]",
       {{"  ", kPlain},
        {"•", kDim},
        {" item ", kBase},
        {"[skipped]", tui::fg(palette::text_skipped).bold()}}},
      {"◦ item", {{"◦ item", kBase}}},
      // Segments with key-value pairs.
      {"rate: 10 Hz · status: [passed]",
       {{"rate:", kMuted},
        {" 10 Hz ", kBright},
        {"·", kDim},
        {" status:", kMuted},
        {" [passed]", kOk}}},
      {"source: none · node: unknown",
       {{"source: none ", kMuted}, {"·", kDim}, {" node: unknown", kMuted}}},
      {"Launch file path: a: b", {{"Launch file path:", kMuted}, {" a: b", kBright}}},
      // Keys that miss: a path, punctuation, six words, more than 40 bytes, no space after ":".
      {"/tf: static", {{"/tf: static", kBase}}},
      {"a, b: c", {{"a, b: c", kBase}}},
      {"v1.2: ok", {{"v1.2: ok", kBase}}},
      {"one two three four five six: x", {{"one two three four five six: x", kBase}}},
      {long_key, {{long_key, kBase}}},
      {"time:12", {{"time:12", kBase}}},
      // Bracketed status tokens.
      {"check [failed] twice", {{"check ", kBase}, {"[failed]", kBad}, {" twice", kBase}}},
      {"[[ok]]", {{"[", kBase}, {"[ok]", kOk}, {"]", kBase}}},
      {"[timed-out] [ ok ] [] [ok", {{"[timed-out] [ ok ] [] [ok", kBase}}},
      // Blank lines.
      {"   ", {{"   ", kPlain}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(styled(c.line, c.next), c.spans);
  }
}

TEST(StyleDetailLine, ChangedFieldsAreWarningsWhereTheTextHoldsThem) {
  const Style warn = tui::fg(palette::warn);
  const struct {
    std::string_view line;
    std::vector<Span> spans;
  } cases[] = {
      {"~ qos.reliability: reliable → best_effort",
       {{"~ qos.reliability: reliable → best_effort", warn}}},
      {"+ subscribes[0]: /clock", {{"+ subscribes[0]: /clock", warn}}},
      {"- lifespan: removed", {{"- lifespan: removed", warn}}},
      // Misses: indented, no value, no space after the mark.
      {"  - lifespan: 5", {{"  ", kPlain}, {"- lifespan:", kMuted}, {" 5", kBright}}},
      {"- a list item", {{"- a list item", kBase}}},
      {"~a: 1", {{"~a:", kMuted}, {" 1", kBright}}},
  };
  for (const auto& c : cases) {
    const tui::Line styled =
        qm::style_detail_line(c.line, std::nullopt, qm::LineShapes::with_changed_fields);
    EXPECT_EQ(styled.spans, c.spans) << c.line;
  }
  // Without the shape a log or an answer may hold such a line as text of its own.
  EXPECT_EQ(styled("- lifespan: removed"),
            (std::vector<Span>{{"- lifespan:", kMuted}, {" removed", kBad}}));
}

TEST(StyleDetailLine, StatusTokensEmptyLinesAndOddBytes) {
  tui::Line line;
  qm::append_with_status_tokens(line, "a [running]",
                                tui::fg(palette::text_dim).with_bg(palette::bg_bar));
  ASSERT_EQ(line.spans.size(), 2u);
  EXPECT_EQ(line.spans[1].style, tui::fg(palette::info).with_bg(palette::bg_bar).bold());
  EXPECT_TRUE(styled("").empty());
  // Odd bytes and wide text still come back whole.
  styled("日本語: \xff · [ok] ·· •");
  styled("\t• a: b");
}

}  // namespace
