#include "ui/overlays.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frame_fixture.hpp"
#include "overlay_documents.hpp"
#include "ui/assistant_overlay.hpp"
#include "ui/experiment_form.hpp"
#include "ui/log_overlay.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"

namespace qm {
namespace {

using ui_test::assistant_document;
using ui_test::column_of;
using ui_test::draw;
using ui_test::frame_document;
using ui_test::launch_document;
using ui_test::matches_golden;
using ui_test::state_for;

const tui::Style dimmed = tui::fg(palette::text_dim).with_bg(palette::bg_base).not_bold();

TEST(OverlayGolden, ScrolledPanelsAt80x24ShowTheirPosition) {
  struct Case {
    std::string_view name;
    nlohmann::json document;
    void (*open)(AppState&);
  };
  // Help is scrolled past its end: it shows its last rows. The assistant's body is scrolled.
  const Case cases[] = {
      {"overlay_help_80_end", frame_document(),
       [](AppState& s) {
         s.help_open = true;
         s.help_scroll = 900;
       }},
      {"overlay_assistant_80_scrolled", assistant_document(),
       [](AppState& s) {
         s.assistant.open = true;
         s.assistant.scroll = 4;
       }},
  };
  for (const Case& c : cases) {
    AppState state = state_for(c.document, View::health);
    c.open(state);
    EXPECT_TRUE(matches_golden(draw(state, 80, 24), c.name)) << c.name;
  }
}

TEST(OverlayGolden, FourColumnsLeaveNoRoomForTheWidePanels) {
  AppState state = state_for(launch_document(), View::health);
  state.log.open = true;
  state.assistant.open = true;
  const tui::Buffer buffer = draw(state, 4, 12);
  EXPECT_TRUE(matches_golden(buffer, "overlay_narrow_4"));
  EXPECT_EQ(log_box(buffer.area()).width, 0);
  for (uint16_t y = 1; y < 12; ++y) {
    for (uint16_t x = 0; x < 4; ++x) {
      EXPECT_CELLS(buffer, {{x, y, dimmed}});
    }
  }
}

TEST(OverlayStyle, DimmingSparesTheHeaderRowOnly) {
  AppState state = state_for(frame_document(), View::health);
  state.help_open = true;
  const tui::Buffer buffer = draw(state, 200, 60);
  EXPECT_CELLS(buffer, {{1, 0, tui::fg(palette::accent_soft).with_bg(palette::bg_bar).bold()},
                        {0, 1, dimmed},
                        {40, 59, dimmed},
                        // The rail's highlighted line loses its highlight too.
                        {2, 3, dimmed}});
  // The column left of the help box is cleared to the dimmed look; the box itself is a focused
  // panel.
  const tui::Rect box = help_box(buffer.area());
  tui::Cell cleared;
  cleared.apply(dimmed);
  EXPECT_EQ(buffer.at(box.x - 1, box.y + 3), cleared);
  EXPECT_CELLS(buffer,
               {{box.x, box.y, tui::fg(palette::accent).with_bg(palette::bg_panel)},
                {static_cast<uint16_t>(box.x + 1), box.y, tui::fg(palette::accent_soft).bold()}});
}

TEST(OverlayStyle, RetainedLinesShowSeverityAndMatches) {
  AppState state = state_for(launch_document(), View::health);
  state.log.open = true;
  const tui::Buffer buffer = draw(state, 200, 60);
  const auto y_of = [&](std::string_view number) {
    const std::optional<uint16_t> y = test_support::row_with(buffer, number);
    EXPECT_TRUE(y) << "no row with " << number;
    return y.value_or(0);
  };
  const uint16_t info = y_of("    7  [lidar");
  const uint16_t warning = y_of("    42  [amcl");
  const uint16_t error = y_of("  1234  [controller");
  const uint16_t text_x = column_of(buffer, info, "[lidar");
  const tui::Style panel = tui::bg(palette::bg_panel);
  EXPECT_CELLS(buffer, {{static_cast<uint16_t>(text_x - 3), info, tui::fg(palette::text_dim)},
                        {text_x, info, tui::fg(palette::text_base).not_bold().patch(panel)},
                        {text_x, warning, tui::fg(palette::warn).bold()},
                        {text_x, error, tui::fg(palette::bad).bold()}});
}

TEST(OverlayStyle, SelectedPaletteEntryIsHighlighted) {
  AppState state = state_for(frame_document(), View::health);
  state.palette = PaletteState{"view", 2};
  const tui::Buffer buffer = draw(state, 120, 40);
  const tui::Rect box = palette_box(buffer.area(), 10);
  // Query and rule come first; the third entry is selected. Each entry ends in "view  {key} "
  // against the right border.
  const auto selected = static_cast<uint16_t>(box.y + 5);
  const auto other = static_cast<uint16_t>(box.y + 4);
  const auto label = static_cast<uint16_t>(box.x + 1);
  const auto kind = static_cast<uint16_t>(box.right() - 9);
  EXPECT_EQ(buffer.at(kind, selected).symbol, "v");
  EXPECT_CELLS(
      buffer,
      {{label, selected, tui::fg(palette::text_bright).with_bg(palette::bg_selection).bold()},
       {kind, selected, tui::fg(palette::accent_soft).with_bg(palette::bg_selection)},
       {label, other, tui::fg(palette::text_base).with_bg(palette::bg_panel).not_bold()},
       {kind, other, tui::fg(palette::text_muted).with_bg(palette::bg_panel)}});
  EXPECT_EQ(buffer.at(static_cast<uint16_t>(box.right() - 2), selected).symbol, " ");
}

TEST(OverlayBoxes, PaletteGeometry) {
  struct Case {
    const char* note;
    uint16_t width;
    uint16_t height;
    std::size_t matches;
    tui::Rect box;
  };
  const Case cases[] = {
      {"no matches: query, rule, note, gap, hint, borders", 200, 60, 0, {58, 2, 84, 7}},
      {"wide terminal caps the width at 84", 200, 60, 12, {58, 2, 84, 18}},
      {"narrow terminal keeps 40 columns", 50, 30, 3, {5, 2, 40, 9}},
      {"narrower than 40 takes the whole width", 30, 30, 1, {0, 2, 30, 7}},
      {"short terminal leaves two rows above", 120, 8, 12, {24, 2, 72, 6}},
      {"two rows give no height", 120, 2, 0, {24, 2, 72, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(palette_box(tui::Rect{0, 0, c.width, c.height}, c.matches), c.box) << c.note;
  }
}

TEST(OverlayBoxes, FractionsNeitherWrapNorGoNegative) {
  EXPECT_EQ(help_box(tui::Rect{0, 0, 60000, 40000}), (tui::Rect{7500, 5000, 45000, 30000}));
  EXPECT_EQ(form_box(tui::Rect{0, 0, 60000, 40000}).width, 48000);
  EXPECT_EQ(assistant_box(tui::Rect{3, 1, 3, 3}), (tui::Rect{5, 3, 0, 0}));
}

TEST(OverlayStyle, PanelsAreLoweredWithTheRestOfTheFrame) {
  AppState state = state_for(frame_document(), View::health);
  state.truecolour = false;
  state.form = FormState{};
  const tui::Buffer buffer = draw(state, 120, 40);
  const tui::Rect box = form_box(buffer.area());
  EXPECT_EQ(buffer.at(box.x + 1, box.y + 1).bg,
            tui::Color::indexed_color(rgb_to_indexed(palette::bg_panel)));
}

TEST(ExperimentForm, QuestionsFollowTheStep) {
  struct Case {
    FormState::Kind kind;
    std::size_t step;
    std::string_view question;
  };
  const Case cases[] = {
      {FormState::Kind::plan, 0, "Hypothesis"},
      {FormState::Kind::plan, 3, "Criteria identity"},
      {FormState::Kind::plan, 4, R"(Variables as a JSON object, e.g. {"seed":1})"},
      {FormState::Kind::plan, 9, R"(Variables as a JSON object, e.g. {"seed":1})"},
      {FormState::Kind::conclude, 0,
       "Outcome: supported / refuted / inconclusive / failed / interrupted"},
      {FormState::Kind::conclude, 5, "Conclusion (your interpretation; not behavioral proof)"},
  };
  for (const Case& c : cases) {
    FormState form;
    form.kind = c.kind;
    form.answers.resize(c.step);
    EXPECT_EQ(form_question(form), c.question) << c.step;
  }
  FormState typed;
  typed.input = "a\x1b[2Jb";
  EXPECT_EQ(experiment_form_text(typed, "done\a").text,
            "Hypothesis\n\na�[2Jb▏\n\nEnter continues / saves · Esc cancels\nPlanning executes "
            "nothing. Conclusion uses the latest linked evidence.\ndone�");
}

TEST(LaunchLogLines, PageStatesAndFallbacks) {
  const auto text_of = [](const nlohmann::json& document) {
    AppState state = state_for(document, View::health);
    std::string text;
    for (const tui::Line& line : launch_log_lines(state)) {
      text += line.plain() + "\n";
    }
    return text;
  };
  nlohmann::json document = launch_document();
  document["runtime"]["launch_log_page"]["status"] = "unavailable";
  document["runtime"]["launch_log_page"]["error"] = "permission denied";
  EXPECT_NE(text_of(document).find("\n\nRetained log read failed: permission denied\nEnd of"),
            std::string::npos)
      << text_of(document);

  // An older page for another file is not current.
  document = launch_document();
  document["runtime"]["launch_log_page"]["path"] = "/tmp/old/launch.log";
  EXPECT_NE(text_of(document).find("\n\nLoading retained log page…\n\n"), std::string::npos);

  // Without a launch or a page every line falls back.
  document = frame_document();
  document["runtime"].erase("launch");
  const std::string text = text_of(document);
  EXPECT_TRUE(text.starts_with(
      "Parent: unknown · checks: unknown · readiness: unknown · no owned launch\n"
      "First error: none identified\n"
      "Child failures identified: 0 · pattern summary only\n"
      "Search:  · severity: all · context: 0 · matches: pending\n"
      "Page start: pending · page lines: pending · filtered lines: pending · retained lines: "
      "pending\n"
      "Coverage: pending\nSource: unknown\nSHA-256: unknown · bytes: unknown\n"))
      << text;
  EXPECT_TRUE(
      text.ends_with("\n\nLoading retained log page…\n\nDECLARED READINESS CHECKS "
                     "(observations; attribution unverified)\nNo declared readiness "
                     "checks; readiness remains unknown.\n"))
      << text;
}

TEST(AssistantText, MissingSectionsAreLeftOut) {
  AppState state = state_for(frame_document(), View::results, "no such run");
  const std::string text = assistant_text(state);
  EXPECT_EQ(text.substr(0, text.find("Set up")),
            "Project: unknown\nTask: unknown\nProduct mode: Standard · State: unknown\n"
            "Permissions: unknown · Hardware: blocked\n");
  EXPECT_NE(text.find("\nConnection / authentication / model\nunknown\n\nUsage (unknown is not "
                      "zero)\nunknown\n\nSelected evidence: none [current]\n\nApproved"),
            std::string::npos)
      << text;
  for (const std::string_view absent :
       {"PENDING APPROVAL", "Assistant error", "Isolated worker", "Named connections",
        "model discovery", "Managed account", "subscription setup ·", "Request error"}) {
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  }
  EXPECT_TRUE(text.ends_with("\nAssistant claims · never an authoritative verdict\n\nunknown\n"))
      << text;
}

TEST(AssistantText, RawShowsTheObjectAsIndentedJson) {
  AppState state = state_for(assistant_document(), View::health);
  state.assistant.open = true;
  state.assistant.raw = true;
  const tui::Buffer buffer = draw(state, 80, 30);
  EXPECT_TRUE(buffer.row_text(3).starts_with("│ │{    ")) << buffer.to_string();
  EXPECT_TRUE(buffer.row_text(4).starts_with("│ │  \"connection\": {    "));
}

// Help scrolled to the offset its extent gives for the view ends on the box's last inner row with
// the text's last row, whichever view it describes.
TEST(HelpScroll, TheExtentEndsWhereTheDrawnTextEnds) {
  for (const View view : all_views) {
    AppState state = state_for(frame_document(), view);
    state.help_open = true;
    const tui::Rect area{0, 0, 80, 24};
    const ScrollExtent extent = help_extent(area, view);
    for (const uint16_t scroll : {extent.last_offset(), uint16_t{900}}) {
      state.help_scroll = scroll;
      const tui::Buffer buffer = draw(state, 80, 24);
      const tui::Rect box = help_box(buffer.area());
      const std::string last_row = buffer.row_text(static_cast<uint16_t>(box.bottom() - 2));
      EXPECT_NE(last_row.find(" Hz "), std::string::npos) << view_name(view) << last_row;
    }
  }
}

}  // namespace
}  // namespace qm
