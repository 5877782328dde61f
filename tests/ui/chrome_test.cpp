#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame_fixture.hpp"
#include "text/text.hpp"
#include "ui/footer.hpp"
#include "ui/header.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/status_row.hpp"

namespace qm {
namespace {

using tui::bg;
using tui::fg;
using ui_test::column_of;
using ui_test::draw;
using ui_test::frame_document;
using ui_test::state_for;

tui::Buffer header_of(const AppState& state, uint16_t width) {
  tui::Buffer buffer(tui::Rect{0, 0, width, 1});
  draw_header(buffer, buffer.area(), state);
  return buffer;
}

std::string trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

struct HeaderCase {
  uint16_t width;
  std::string expected;
};

TEST(Header, NarrowRowsLeaveOutTheLeastImportantGroups) {
  const AppState state = state_for(frame_document(), View::health);
  const std::string all =
      " quillmesh │ ● LIVE │ Standard │ amr-07 live · docking [current] │ jazzy · domain 42 "
      "│ launch running │ 1✕ 2▲ │ updated 14:03:27 ";
  // Group widths with their rule and space: mode 9, product 11, side 34, platform 20, launch 17,
  // problems 8, clock 19, after the 11 columns of the brand; the backend status takes 19 and
  // needs two more.
  const std::vector<HeaderCase> cases = {
      {150, all + "  Live capture ready"},
      {149, trimmed(all)},
      {129, trimmed(all)},
      // The product mode goes first, then the platform, and so on.
      {128,
       " quillmesh │ ● LIVE │ amr-07 live · docking [current] │ jazzy · domain 42 │ launch "
       "running │ 1✕ 2▲ │ updated 14:03:27"},
      // The capture side no longer fits; smaller groups after it still take the room.
      {80, " quillmesh │ ● LIVE │ Standard │ launch running │ 1✕ 2▲ │ updated 14:03:27"},
      {64, " quillmesh │ ● LIVE │ launch running │ 1✕ 2▲ │ updated 14:03:27"},
      {40, " quillmesh │ 1✕ 2▲ │ updated 14:03:27"},
      {20, " quillmesh │ 1✕ 2▲"},
      {11, " quillmesh"},
      {5, " quil"},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.width);
    // Drawn into a wider buffer: nothing may land right of the row.
    tui::Buffer buffer(tui::Rect{0, 0, static_cast<uint16_t>(c.width + 10), 1});
    draw_header(buffer, tui::Rect{0, 0, c.width, 1}, state);
    const std::string row = buffer.row_text(0);
    EXPECT_EQ(trimmed(row), c.expected);
    EXPECT_TRUE(row.ends_with(std::string(10, ' '))) << row;
    EXPECT_EQ(buffer.at(c.width, 0).bg, tui::Color{});
  }
}

TEST(Header, GroupsKeepTheirOrderAndStyles) {
  const AppState state = state_for(frame_document(), View::health);
  tui::Buffer buffer = header_of(state, 200);
  const std::string row = buffer.row_text(0);
  EXPECT_NE(row.find("│ launch running │ 1✕ 2▲ │ updated 14:03:27 "), std::string::npos) << row;
  EXPECT_TRUE(row.ends_with("Live capture ready "));

  // The brand, a rule, the mode's dot, launch state, problem counts and the bar to the end.
  EXPECT_CELLS(buffer, {{1, 0, fg(palette::accent_soft).with_bg(palette::bg_bar).bold()},
                        {11, 0, fg(palette::rule)},
                        {13, 0, fg(palette::ok)},
                        {column_of(buffer, 0, "running"), 0, fg(palette::info)},
                        {column_of(buffer, 0, "1✕"), 0, fg(palette::bad)},
                        {column_of(buffer, 0, "2▲"), 0, fg(palette::warn)},
                        {199, 0, bg(palette::bg_bar)}});
}

TEST(Header, FallbacksAndTheBaselineSide) {
  nlohmann::json document = frame_document();
  document["mode"] = "replay";
  document["product_mode"] = "ai-assisted";
  document["runtime"].erase("distribution");
  document["runtime"]["launch"]["state"] = "starting";
  document["runtime"]["updated_at"] = "2026-12-09";
  document["runtime"]["status"] = "\x1b[2Jbusy";
  AppState state = state_for(document, View::health);
  tui::Buffer buffer = header_of(state, 200);
  std::string row = buffer.row_text(0);
  EXPECT_TRUE(
      row.starts_with(" quillmesh │ SAVED │ AI-assisted │ amr-07 live · docking [current] "
                      "│ unknown · domain 42 │ launch starting │ 1✕ 2▲ "))
      << row;
  EXPECT_EQ(row.find("updated"), std::string::npos);
  EXPECT_TRUE(row.ends_with("�[2Jbusy ")) << row;
  EXPECT_CELLS(buffer, {{column_of(buffer, 0, "starting"), 0, fg(palette::text_base)},
                        {13, 0, fg(palette::text_muted)}});

  state.model = show_side(state.model, Side::baseline);
  buffer = header_of(state, 200);
  row = buffer.row_text(0);
  EXPECT_NE(row.find("│ amr-07 baseline 2026-12-02 [baseline] │"), std::string::npos) << row;
  EXPECT_EQ(row.find("✕"), std::string::npos);
  EXPECT_CELLS(buffer, {{column_of(buffer, 0, "amr-07"), 0, fg(palette::warn)}});

  document = frame_document();
  document["runtime"].erase("distribution");
  document["runtime"].erase("domain_id");
  document["current"]["label"] = "a capture label that is far too long for the header row";
  row = header_of(state_for(document, View::health), 200).row_text(0);
  EXPECT_EQ(row.find("domain"), std::string::npos);
  EXPECT_NE(row.find("│ a c… long for the header row [current] │"), std::string::npos) << row;
}

TEST(StatusRow, TheFirstCaseThatAppliesWins) {
  AppState state = state_for(frame_document(), View::topics, "scan");
  state.filter_entry = true;
  state.status = "Requested export; awaiting backend status";
  tui::Line line = status_line(state);
  EXPECT_EQ(line.plain(), " /scan▏  This view only · Enter apply · Esc clear");
  EXPECT_EQ(line.spans[1].style, fg(palette::accent).bold());
  EXPECT_EQ(line.spans[2].style, fg(palette::text_bright).bold());
  EXPECT_EQ(line.spans[3].style, fg(palette::accent));

  state.filter_entry = false;
  line = status_line(state);
  EXPECT_EQ(line.plain(), " Requested export; awaiting backend status");
  EXPECT_EQ(line.spans[1].style.fg, palette::info);

  state.status.clear();
  line = status_line(state);
  EXPECT_EQ(line.plain(), " Filter (this view): scan  · Esc clear · switching views clears");
  EXPECT_EQ(line.spans[1].style, fg(palette::accent_soft).bold());

  state.filter.clear();
  line = status_line(state);
  EXPECT_EQ(line.plain(), " Watching amr-07 docking bring-up");
  EXPECT_EQ(line.spans[1].style.fg, palette::text_muted);

  state.status = "bad\x1b]52;c;bytes\x07 text\u202e";
  EXPECT_EQ(status_line(state).plain(), " bad�]52;c;bytes� text�");
}

TEST(StatusRow, AMessageTooLongForTheRowEndsInAnEllipsis) {
  AppState state = state_for(frame_document(), View::topics);
  state.status = "Cannot copy: the terminal refused the clipboard; copy it from the inspector";
  const struct {
    std::size_t width;
    std::string shown;
  } cases[] = {
      {200, " " + state.status},
      {30, " Cannot copy: the terminal re…"},
      {2, " …"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(status_line(state, c.width).plain(), c.shown) << c.width;
  }
  state.status.clear();
  EXPECT_EQ(status_line(state, 20).plain(), " Watching amr-07 do…");
}

TEST(StatusRow, DocumentMessagesAndTheirColours) {
  const auto line_of = [](const nlohmann::json& document) {
    return status_line(state_for(document, View::health));
  };
  nlohmann::json document = frame_document();
  document["runtime"]["status"] = "Exported topic:/scan";
  document["runtime"]["export_feedback"] = {{"status", "success"}, {"entity_id", "topic:/scan"}};
  tui::Line line = line_of(document);
  EXPECT_EQ(line.plain(), " Exported topic:/scan · press 9 Capture for full destination");
  EXPECT_EQ(line.spans[1].style.fg, palette::ok);

  document["runtime"]["export_feedback"] = {
      {"status", "failed"}, {"entity_id", "topic:/scan"}, {"error", "disk full"}};
  document["runtime"]["status"] = "Export failed";
  line = line_of(document);
  EXPECT_EQ(line.plain(), " Export failed for topic:/scan: disk full");
  EXPECT_EQ(line.spans[1].style.fg, palette::bad);

  // A stale feedback object does not speak for a backend that moved on.
  document["runtime"]["status"] = "Live capture ready";
  document["runtime"]["error"] = "graph observer lost its participant";
  line = line_of(document);
  EXPECT_EQ(line.plain(), " graph observer lost its participant");
  EXPECT_EQ(line.spans[1].style.fg, palette::bad);

  document["runtime"]["error"] = nullptr;
  document.erase("notice");
  EXPECT_EQ(line_of(document).plain(), " ");
}

TEST(StatusRow, MessageColoursFollowTheWords) {
  EXPECT_EQ(message_colour("Exported node:/amcl · press 9", false), palette::ok);
  EXPECT_EQ(message_colour("Launch is running", true), palette::bad);
  EXPECT_EQ(message_colour("Refresh rejected; retaining previous capture: x", false), palette::bad);
  EXPECT_EQ(message_colour("CANNOT attach", false), palette::bad);
  EXPECT_EQ(message_colour("No retained launch log is available for this session", false),
            palette::warn);
  EXPECT_EQ(message_colour("node:/amcl absent from latest capture", false), palette::warn);
  EXPECT_EQ(message_colour("Use attach --task first", false), palette::warn);
  EXPECT_EQ(message_colour("Requested inspect; awaiting backend status", false), palette::info);
  EXPECT_EQ(message_colour("Requested export but it failed", false), palette::bad);
  EXPECT_EQ(message_colour("Viewing baseline capture", false), palette::text_muted);
}

struct FooterCase {
  View view;
  uint16_t width;
  std::string expected;
};

TEST(Footer, NarrowRowsLeaveOutTheLeastImportantHints) {
  const std::string health_view = "  Enter go to  y copy check  L launch log  r refresh │ ";
  // Hint widths: the key and label and four columns; the rule takes two when hints of both
  // kinds are shown.
  const std::vector<FooterCase> cases = {
      {View::health, 124,
       health_view + " : command  / filter  Tab pane  m messages  ? keys  q quit "},
      {View::health, 123, health_view + " : command  / filter  Tab pane  ? keys  q quit "},
      {View::health, 111, health_view + " : command  / filter  Tab pane  ? keys  q quit "},
      // The other global hints go first, from the last.
      {View::health, 110, health_view + " : command  / filter  ? keys  q quit "},
      {View::health, 80, health_view + " ? keys  q quit "},
      {View::tf, 80, "  e export  b baseline │  : command  / filter  Tab pane  ? keys  q quit "},
      // "/ filter" does not fit after ": command", nor "Tab pane".
      {View::playback, 80, "  p play  Space pause  ←/→ seek  x stop │  : command  ? keys  q quit "},
      // Then the view's own, from the last.
      {View::health, 40, "  Enter go to │  ? keys  q quit "},
      // With no view hint left there is no rule either.
      {View::health, 20, "  ? keys  q quit "},
      {View::health, 10, "  ? keys "},
      {View::health, 9, " "},
      {View::health, 0, " "},
  };
  for (const FooterCase& c : cases) {
    SCOPED_TRACE(std::string(view_name(c.view)) + " " + std::to_string(c.width));
    const tui::Line line = footer_line(c.view, c.width);
    EXPECT_EQ(line.plain(), c.expected);
    EXPECT_LE(display_width(line.plain()), std::max<std::size_t>(c.width, 1));
  }
}

TEST(Footer, KeysLabelsAndTheRuleHaveTheirStyles) {
  const tui::Line line = footer_line(View::playback, 200);
  EXPECT_TRUE(line.plain().starts_with("  p play  Space pause  ←/→ seek  x stop │  : command "));
  EXPECT_EQ(line.spans[1].content, " p ");
  EXPECT_EQ(line.spans[1].style, fg(palette::text_bright).with_bg(palette::bg_key).bold());
  EXPECT_EQ(line.spans[2].style, fg(palette::text_muted));
  EXPECT_EQ(line.spans[9].content, "│ ");
  EXPECT_EQ(line.spans[9].style, fg(palette::rule));
}

TEST(PaneBlock, TitlePiecesAndBorderFollowTheFocus) {
  std::vector<tui::Span> pieces = pane_title("Topics · 2/6 · Tab detail", true);
  ASSERT_EQ(pieces.size(), 6u);
  EXPECT_EQ(pieces[0], tui::Span("Topics", fg(palette::accent_soft).bold()));
  EXPECT_EQ(pieces[1], tui::Span(" ", fg(palette::text_muted)));
  EXPECT_EQ(pieces[2], tui::Span("·", fg(palette::text_dim)));
  EXPECT_EQ(pieces[3], tui::Span(" 2/6 ", fg(palette::text_muted)));
  EXPECT_EQ(pieces[5], tui::Span(" Tab detail", fg(palette::text_muted)));

  pieces = pane_title("Inspector · PgUp/PgDn", false);
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0], tui::Span("Inspector", fg(palette::text_muted).bold()));
  EXPECT_EQ(pieces[3], tui::Span(" PgUp/PgDn", fg(palette::text_dim)));
  EXPECT_EQ(pane_title("Views", false),
            std::vector<tui::Span>{tui::Span("Views", fg(palette::text_muted).bold())});

  tui::Buffer buffer(tui::Rect{0, 0, 12, 3});
  pane_block("Run", true).render(buffer.area(), buffer);
  EXPECT_GRID(buffer, {"╭Run───────╮", "│          │", "╰──────────╯"});
  EXPECT_CELLS(buffer, {{0, 0, fg(palette::accent)},
                        {11, 2, fg(palette::accent)},
                        {1, 0, fg(palette::accent_soft)}});
  pane_block("Run", false).render(buffer.area(), buffer);
  EXPECT_CELLS(buffer, {{0, 1, fg(palette::rule)}});
}

TEST(Frame, LowersColoursWithoutTrueColour) {
  AppState state = state_for(frame_document(), View::health);
  state.truecolour = false;
  tui::Buffer buffer(tui::Rect{0, 0, 90, 24});
  tui::Frame frame(buffer);
  draw_frame(frame, state);
  // The list has the focus: its accent border is index 105, the background grey 232.
  EXPECT_EQ(buffer.at(0, 2).symbol, "╭");
  EXPECT_CELLS(buffer, {{0, 2, fg(tui::Color::indexed_color(105))},
                        {40, 10, bg(tui::Color::indexed_color(232))}});

  state.truecolour = true;
  buffer = draw(state, 90, 24);
  EXPECT_CELLS(buffer, {{0, 2, fg(palette::accent)},
                        {40, 10, fg(palette::text_base).with_bg(palette::bg_base)},
                        {40, 23, bg(palette::bg_bar)}});
}

}  // namespace
}  // namespace qm
