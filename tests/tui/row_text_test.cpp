#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tui/buffer.hpp"
#include "tui/escape_writer.hpp"

namespace tui {
namespace {

constexpr Color red = Color::indexed_color(196);

// One row of `width` cells drawn by `paint`.
template <typename Paint>
std::string row_text(uint16_t width, RowLook look, Paint paint, EscapeOptions options = {}) {
  Buffer buffer(Rect{0, 0, width, 1});
  paint(buffer);
  std::string out = "kept:";
  write_row_text(out, buffer, 0, look, options);
  return out;
}

TEST(RowText, PlainAndStyledRows) {
  const auto word = [](Buffer& b) { b.set_string(1, 0, "ab", Style{}.with_fg(red).bold()); };
  const auto wide = [](Buffer& b) { b.set_string(0, 0, "漢x", Style{}); };
  const auto blank = [](Buffer&) {};
  const auto control = [](Buffer& b) {
    b.set_string(0, 0, "a b", Style{});
    b.at(1, 0).symbol = "\x1b";
  };
  const struct {
    const char* name;
    std::function<void(Buffer&)> paint;
    RowLook look;
    EscapeOptions options;
    std::string expected;
  } cases[] = {
      {"plain drops styles and trailing blanks", word, RowLook::plain, {}, "kept: ab"},
      {"plain blank row is empty", blank, RowLook::plain, {}, "kept:"},
      {"wide characters once", wide, RowLook::plain, {}, "kept:漢x"},
      {"a control character is a blank", control, RowLook::plain, {}, "kept:a b"},
      {"styled keeps every column and resets",
       word,
       RowLook::styled,
       {},
       "kept: \x1b[1;38;5;196mab\x1b[22;39m "},
      {"styled without colour keeps bold",
       word,
       RowLook::styled,
       {.colour = false},
       "kept: \x1b[1mab\x1b[22m "},
      {"styled default cells need no sequence", blank, RowLook::styled, {}, "kept:    "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(row_text(4, c.look, c.paint, c.options), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tui
