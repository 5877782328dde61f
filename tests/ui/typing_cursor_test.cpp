#include "ui/typing_cursor.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "overlay_documents.hpp"
#include "text/text.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using ui_test::column_of;
using ui_test::draw;
using ui_test::state_for;

TEST(TypingCursor, IsAccentWhereverTextIsTyped) {
  struct Case {
    std::string_view place;
    nlohmann::json (*document)();
    void (*open)(AppState&);
    // What the row shows just before the cursor.
    std::string_view before;
  };
  const Case cases[] = {
      {"status-row search", ui_test::frame_document,
       [](AppState& s) {
         s.filter_entry = true;
         s.filter = "scan";
       },
       "scan"},
      {"palette", ui_test::frame_document,
       [](AppState& s) {
         s.palette = PaletteState{"ca", 0};
       },
       "ca"},
      // A cursor character the user typed is text like any other; only the cursor is accent.
      {"assistant prompt", ui_test::assistant_document,
       [](AppState& s) {
         s.assistant.open = true;
         s.assistant.composing = true;
         s.assistant.prompt = "Why ▏ here";
       },
       "Why ▏ here"},
      {"experiment form", ui_test::frame_document,
       [](AppState& s) {
         s.form = FormState{};
         // Pasted text may hold a line feed; the cursor still ends the last line.
         s.form->input = "first line\nrate▏drops";
         s.status = "a ▏ in the message";
       },
       "rate▏drops"},
      {"launch-log search", ui_test::launch_document,
       [](AppState& s) {
         s.log.open = true;
         s.log.search_entry = true;
         s.log.search_input = "died";
       },
       "Search: died"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.place);
    AppState state = state_for(c.document(), View::topics);
    c.open(state);
    const tui::Buffer buffer = draw(state, 120, 40);
    const std::string wanted = std::string(c.before) + std::string(typing_cursor);
    const std::optional<uint16_t> row = test_support::row_with(buffer, wanted);
    ASSERT_TRUE(row) << buffer.to_string();
    const uint16_t y = *row;
    const auto start = column_of(buffer, y, wanted);
    const auto cursor = static_cast<uint16_t>(start + display_width(c.before));
    EXPECT_EQ(buffer.at(cursor, y).symbol, typing_cursor);
    EXPECT_EQ(buffer.at(cursor, y).fg, palette::accent);
    for (auto x = start; x < cursor; ++x) {
      EXPECT_NE(buffer.at(x, y).fg, palette::accent) << "column " << x;
    }
  }
}

}  // namespace
}  // namespace qm
