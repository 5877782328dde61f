#include "header_screen.hpp"

#include <gtest/gtest.h>

#include <string>

namespace qm::soak {
namespace {

struct ScreenCase {
  std::string name;
  std::string bytes;
  std::string top_row;
};

TEST(HeaderScreen, FollowsTheTopRow) {
  const ScreenCase cases[] = {
      {"PlainText", "ab", "ab"},
      {"CursorMoveSkipsCells", "\x1b[1;3Hcd", "  cd"},
      {"OtherRowsIgnored", "top\x1b[2;1Hsecond", "top"},
      {"BackToTheTop", "\x1b[5;1Hx\x1b[Hy", "y"},
      {"ColoursAndModesSkipped", "\x1b[?1049h\x1b[1;38;2;1;2;3ma\x1b[0mb", "ab"},
      {"ClipboardSkipped",
       "a\x1b]52;c;eHl6\x07"
       "b\x1b]52;c;eA==\x1b\\c",
       "abc"},
      {"DiffOverwrites", "updated 00:00:09\x1b[1;15H10", "updated 00:00:10"},
      {"WholeScreenCleared", "abc\x1b[2Jd", "   d"},
      {"LineErasedFromCursor", "abcd\x1b[1;3H\x1b[K", "ab"},
      {"MultibyteCharacterIsOneCell", "● LIVE\x1b[1;3Hx", "● xIVE"},
  };
  for (const ScreenCase& test : cases) {
    SCOPED_TRACE(test.name);
    HeaderScreen whole;
    whole.feed(test.bytes);
    EXPECT_EQ(whole.top_row(), test.top_row);
    // Reads end anywhere, even inside a sequence or a character.
    HeaderScreen bytewise;
    for (const char byte : test.bytes) {
      bytewise.feed(std::string_view(&byte, 1));
    }
    EXPECT_EQ(bytewise.top_row(), test.top_row);
  }
}

}  // namespace
}  // namespace qm::soak
