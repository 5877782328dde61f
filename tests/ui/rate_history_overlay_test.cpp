#include <gtest/gtest.h>

#include <string>

#include "rate_history_documents.hpp"
#include "support/buffer_matchers.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using ui_test::draw;
using ui_test::state_for;

// The rows drawn inside the panel's borders, as text.
std::string panel_text(const tui::Buffer& buffer) {
  const tui::Rect inner = log_box(buffer.area()).inner(1);
  std::string text;
  for (uint16_t y = inner.y; y < inner.bottom(); ++y) {
    text += buffer.row_text(y) + "\n";
  }
  return text;
}

TEST(RateHistoryOverlay, BarsAreColouredByTheDeclaredBoundsAndGapsLeftBlank) {
  for (const tui::Size size : {tui::Size{80, 24}, tui::Size{200, 60}}) {
    SCOPED_TRACE(size.width);
    AppState state = state_for(ui_test::scan_rates_document(), View::topics);
    ui_test::open_scan_history(state, 27);
    const tui::Buffer buffer = draw(state, size.width, size.height);
    const tui::Rect inner = log_box(buffer.area()).inner(1);
    // The chart's bottom row lies above the four lines of text; the newest sample is rightmost.
    const auto bottom = static_cast<uint16_t>(inner.bottom() - 5);
    auto column = [&](std::size_t sample) {
      return static_cast<uint16_t>(inner.right() - 1 - (ui_test::rate_series_length - 1 - sample));
    };
    const std::vector<std::optional<double>> series = ui_test::scan_series();
    for (std::size_t i = 0; i < series.size(); ++i) {
      SCOPED_TRACE(i);
      const tui::Cell& cell = buffer.at(column(i), bottom);
      if (!series[i]) {
        EXPECT_EQ(cell.symbol, " ");
        continue;
      }
      const bool outside = *series[i] < 8 || *series[i] > 12;
      EXPECT_EQ(cell.fg, outside ? palette::bad : palette::accent_soft);
      EXPECT_NE(cell.symbol, " ");
      // Only the column under the cursor is highlighted.
      EXPECT_EQ(cell.bg, i == 12 ? palette::bg_selection : palette::bg_panel);
    }
    // The declared bounds are dim lines with their values at the left.
    const std::optional<uint16_t> minimum_row = test_support::row_with(buffer, " 8.0");
    ASSERT_TRUE(minimum_row);
    const tui::Cell& line = buffer.at(column(13), *minimum_row);  // the drop lies under it
    EXPECT_EQ(line.symbol, "─");
    EXPECT_EQ(line.fg, palette::text_dim);
    EXPECT_TRUE(test_support::row_with(buffer, "12.0"));
  }
}

TEST(RateHistoryOverlay, TheTextSaysWhatTheWindowHolds) {
  AppState state = state_for(ui_test::scan_rates_document(), View::topics);
  ui_test::open_scan_history(state, 27);
  const std::string text = panel_text(draw(state, 200, 60));
  for (const std::string_view line :
       {"Last 11.0 Hz · lowest 3.0 Hz · highest 13.5 Hz · mean 10.2 Hz",
        "40 samples, 1 gap · last 39 s", "Cursor: 27 s ago · 3.0 Hz · sample 13 of 40",
        "←/→ cursor · Esc / h close"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
}

TEST(RateHistoryOverlay, SaysWhyThereIsNoChart) {
  const struct {
    std::string_view note;
    std::size_t samples;
    bool baseline;
    std::string_view says;
  } cases[] = {
      {"nothing kept", 0, false, "Rate history builds up while the viewer runs"},
      {"one sample", 1, false, "1 of 2 samples kept so far"},
      {"baseline shown", 5, true, "Rate history belongs to the current capture"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.note);
    AppState state = state_for(ui_test::scan_rates_document(), View::topics);
    testing::record_series(state.rate_history, "/scan",
                           std::vector<std::optional<double>>(c.samples, 10.0));
    state.rate_panel = RatePanelState{"/scan", 0};
    if (c.baseline) {
      state.model = show_side(state.model, Side::baseline);
    }
    const tui::Buffer buffer = draw(state, 80, 24);
    const std::string text = panel_text(buffer);
    EXPECT_NE(text.find(c.says), std::string::npos) << text;
    EXPECT_EQ(text.find("█"), std::string::npos);
    EXPECT_TRUE(test_support::row_with(buffer, "/scan · rate history"));
  }
}

}  // namespace
}  // namespace qm
