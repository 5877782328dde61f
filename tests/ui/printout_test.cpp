#include "ui/printout.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame_fixture.hpp"
#include "ui/detail_pane.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/list_rows.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"

namespace qm {
namespace {

using ui_test::frame_document;
using ui_test::numbered_rows;
using ui_test::select_row;
using ui_test::state_for;

// The rows of every buffer a printout sends, in order, cell by cell.
struct Collected {
  std::vector<std::vector<tui::Cell>> rows;
  std::size_t buffers = 0;

  std::function<void(const tui::Buffer&)> sink() {
    return [this](const tui::Buffer& buffer) {
      ++buffers;
      const tui::Rect area = buffer.area();
      for (uint16_t y = area.y; y < area.bottom(); ++y) {
        std::vector<tui::Cell>& row = rows.emplace_back();
        for (uint16_t x = area.x; x < area.right(); ++x) {
          row.push_back(buffer.at(x, y));
        }
      }
    };
  }
  std::string text(std::size_t y) const {
    std::string out;
    for (const tui::Cell& cell : rows[y]) {
      out += cell.symbol;
    }
    return out.substr(0, out.find_last_not_of(' ') + 1);
  }
};

// A text whose lines get their look from the line after them (group titles above indented
// lines), with long lines that wrap over many rows.
std::string long_detail_text(std::size_t groups) {
  std::string text;
  for (std::size_t i = 0; i < groups; ++i) {
    text += "Group " + std::to_string(i) + "\n";
    text += "  key: value " + std::to_string(i) + " · status: [passed]\n";
    text += "  " + std::string(i % 7 * 300, 'w') + " words after a long one\n";
    text += "PLAIN HEADING LINE  with muted words\n";
  }
  return text;
}

// However the text is cut into buffers, the rows are those of one tall detail area.
TEST(Printout, DetailTextInBuffersEqualsOneTallPane) {
  const struct {
    View view;
    uint16_t width;
    std::size_t groups;
  } cases[] = {
      {View::topics, 1000, 400},  // many buffers: 262 rows each
      {View::topics, 20, 300},    // long lines wrap over many rows
      {View::graph, 1000, 300},   // cut, not wrapped
      {View::health, 100, 3},     // one buffer
  };
  for (const auto& test : cases) {
    const AppState state = state_for(frame_document(), test.view);
    const std::string text = long_detail_text(test.groups);
    Collected printed;
    print_detail_text(state, text, test.width, printed.sink());

    const tui::Rect probe{0, 0, test.width, 1};
    const std::size_t rows = text_extent(text, probe, detail_wrapping(test.view)).rows;
    ASSERT_LT(rows, 0xFFFFu);
    tui::Buffer whole(tui::Rect{0, 0, test.width, static_cast<uint16_t>(rows)});
    whole.set_style(whole.area(), tui::fg(palette::text_base).with_bg(palette::bg_base));
    draw_detail_text(whole, whole.area(), state, text, 0);
    if (!state.truecolour) {
      lower_frame_colours(whole);
    }
    ASSERT_EQ(printed.rows.size(), rows) << test.width;
    EXPECT_GT(printed.buffers, test.groups > 100 ? 1u : 0u) << test.width;
    for (uint16_t y = 0; y < rows; ++y) {
      for (uint16_t x = 0; x < test.width; ++x) {
        ASSERT_EQ(printed.rows[y][x], whole.at(x, y))
            << "width " << test.width << " row " << y << ": " << printed.text(y);
      }
    }
  }
}

TEST(Printout, EveryRowOnceWithTheSelectionMarked) {
  const struct {
    std::size_t count;
    std::size_t selected;
    uint16_t width;
  } cases[] = {{0, 0, 40}, {1, 0, 40}, {30, 29, 40}, {700, 650, 1000}};
  for (const auto& test : cases) {
    AppState state = numbered_rows(test.count);
    select_row(state, test.selected);
    Collected printed;
    print_view(state, test.width, printed.sink());
    // The title, the rows, a blank line and the detail heading come before the detail text.
    ASSERT_GE(printed.rows.size(), test.count + 3);
    EXPECT_EQ(printed.text(0), "Changes · " +
                                   std::to_string(test.count == 0 ? 0 : test.selected + 1) + "/" +
                                   std::to_string(test.count));
    for (std::size_t i = 0; i < test.count; ++i) {
      const std::string marker = i == test.selected ? "›" : " ";
      EXPECT_EQ(printed.text(1 + i), marker + " row " + std::to_string(i));
    }
    EXPECT_EQ(printed.text(test.count + 1), "");
    EXPECT_EQ(printed.text(test.count + 2),
              test.count == 0 ? "Detail" : "Detail · row " + std::to_string(test.selected));
  }
}

TEST(Printout, TheDetailHeadingIsDisplaySafe) {
  AppState state = numbered_rows(1);
  const DocumentPtr empty = testing::document_of(nlohmann::json::object());
  state.rows[0] = Row::owning("node:/n", "   bad\x1b[31m\u202Ename", empty->root);
  EXPECT_EQ(printed_detail_heading(state), "Detail · bad\uFFFD[31m\uFFFDname");
}

}  // namespace
}  // namespace qm
