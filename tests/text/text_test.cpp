#include "text/text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// 40 columns, all distinct, so that cuts are easy to read.
const std::string kForty = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";

TEST(DisplayWidth, CountsWideCombiningAndControlCharacters) {
  // A combining accent and a zero-width space add nothing, nor does the escape or any other C0
  // or C1 control; an invalid byte shows as U+FFFD, one column.
  const std::pair<std::string, std::size_t> widths[] = {
      {"", 0},         {"topic", 5},   {"日本", 4},     {"🙂", 2},         {"e\u0301", 1},
      {"a\u200bb", 2}, {"\x1b[0m", 3}, {"\t\n\x7f", 0}, {"\u0085\u009f", 0}, {"\xff", 1},
  };
  for (const auto& [text, width] : widths) {
    EXPECT_EQ(qm::display_width(text), width) << text;
  }
}

TEST(TruncateEnd, CutsToTheWidthWithAnEllipsis) {
  EXPECT_EQ(qm::truncate_end("abcdef", 4), "abc…");
  EXPECT_EQ(qm::truncate_end("abcdef", 6), "abcdef");
  EXPECT_EQ(qm::truncate_end("abcdef", 1), "…");
  EXPECT_EQ(qm::truncate_end("abcdef", 0), "…");
  EXPECT_EQ(qm::truncate_end("", 0), "");
  EXPECT_EQ(qm::truncate_end(kForty, 25), kForty.substr(0, 24) + "…");
  EXPECT_EQ(qm::truncate_end(kForty, 28), kForty.substr(0, 27) + "…");
  EXPECT_EQ(qm::truncate_end(kForty, 40), kForty);
}

TEST(TruncateEnd, NeverSplitsOrOverrunsWideAndCombiningCharacters) {
  // 日 fits with the ellipsis (3 columns); 本 would need 5.
  EXPECT_EQ(qm::truncate_end("日本語", 4), "日…");
  EXPECT_EQ(qm::truncate_end("日本語", 5), "日本…");
  EXPECT_EQ(qm::truncate_end("日本語", 6), "日本語");
  // The combining accent costs nothing and stays with its letter.
  EXPECT_EQ(qm::truncate_end("e\u0301xyz", 3), "e\u0301x…");
  // Controls are zero wide, so they do not push the text over.
  EXPECT_EQ(qm::truncate_end("ab\x1b"
                             "c",
                             3),
            "ab\x1b"
            "c");
}

TEST(TruncateMiddle, KeepsUpToTwentyFourColumnsOfTail) {
  EXPECT_EQ(qm::truncate_middle("abcdefghij", 5), "…ghij");
  EXPECT_EQ(qm::truncate_middle("abcdefghij", 10), "abcdefghij");
  EXPECT_EQ(qm::truncate_middle("abcdefghij", 1), "…");
  EXPECT_EQ(qm::truncate_middle("abcdefghij", 0), "…");
  EXPECT_EQ(qm::truncate_middle("", 0), "");
  // 28 columns: 3 of head, the ellipsis, 24 of tail.
  EXPECT_EQ(qm::truncate_middle(kForty, 28), "abc…" + kForty.substr(16));
  // Up to 25 columns there is no head.
  EXPECT_EQ(qm::truncate_middle(kForty, 25), "…" + kForty.substr(16));
  EXPECT_EQ(qm::truncate_middle(kForty, 26), "a…" + kForty.substr(16));
  EXPECT_EQ(qm::truncate_middle(kForty, 12), "…" + kForty.substr(29));
}

TEST(TruncateMiddle, MeasuresWideCharactersInColumns) {
  // Tail budget 5: 語 and 本 take 4 columns, a third wide character would need 6.
  EXPECT_EQ(qm::truncate_middle("日本語日本語", 6), "…本語");
  // An invalid byte is one column and is kept as it is.
  EXPECT_EQ(qm::truncate_middle("abcdef\xff", 4), "…ef\xff");
  const std::string name = "/camera/image_raw/compressed/日本語/depth/points";
  const std::string cut = qm::truncate_middle(name, 28);
  EXPECT_LE(qm::display_width(cut), 28u);
  EXPECT_TRUE(cut.ends_with("/depth/points"));
}

TEST(DisplaySafe, ReplacesControlAndBidirectionalCharacters) {
  EXPECT_EQ(qm::display_safe("plain text"), "plain text");
  EXPECT_EQ(qm::display_safe("a\u202eb"), "a�b");
  EXPECT_EQ(qm::display_safe("\x1b[31mred"), "�[31mred");
  EXPECT_EQ(qm::display_safe("a\tb\nc"), "a\tb\nc");
  EXPECT_EQ(qm::display_safe("a\rb\x7f\x01"), "a�b��");
  EXPECT_EQ(qm::display_safe("\u0085\u009f\u00a0"), "��\u00a0");
  EXPECT_EQ(qm::display_safe("\u202a\u202d\u2066\u2069\u2065\u202f"), "����\u2065\u202f");
  EXPECT_EQ(qm::display_safe("日本 e\u0301 �"), "日本 e\u0301 �");
}

TEST(DisplaySafe, ReplacesEveryInvalidByte) {
  EXPECT_EQ(qm::display_safe("\xff\xfe"), "��");
  EXPECT_EQ(qm::display_safe("a\xe2\x82z"), "a��z");   // cut-off sequence
  EXPECT_EQ(qm::display_safe("\xc0\xaf"), "��");       // overlong "/"
  EXPECT_EQ(qm::display_safe("\xed\xa0\x80"), "���");  // surrogate
}

TEST(DisplaySafe, CopiesAtMostTwoHundredThousandCharacters) {
  EXPECT_EQ(qm::display_safe(std::string(250'000, 'a')), std::string(200'000, 'a'));
  std::string accents;
  for (int i = 0; i < 250'000; ++i) {
    accents += "é";
  }
  EXPECT_EQ(qm::display_safe(accents), accents.substr(0, 400'000));
  // A replaced byte is one character of the limit.
  const std::string mixed = std::string(199'999, 'a') + "\xff" + "bcd";
  EXPECT_EQ(qm::display_safe(mixed), std::string(199'999, 'a') + "�");
}

TEST(LowercaseFull, MapsAllOfUnicodeWithTheSpecialCases) {
  EXPECT_EQ(qm::lowercase_full("HeLLo /Talker_1"), "hello /talker_1");
  EXPECT_EQ(qm::lowercase_full("ÄÖÜ Straße"), "äöü straße");
  EXPECT_EQ(qm::lowercase_full("İ"), "i\u0307");
  EXPECT_EQ(qm::lowercase_full("ΟΔΟΣ"), "οδος");
  EXPECT_EQ(qm::lowercase_full("Σ"), "σ");
  EXPECT_EQ(qm::lowercase_full("ΣΑ"), "σα");
  EXPECT_EQ(qm::lowercase_full("ΟΔΟΣ ΚΑΙ"), "οδος και");
  // A full stop is case-ignorable: it neither ends the look behind nor counts as a letter.
  EXPECT_EQ(qm::lowercase_full("ΟΔΟΣ."), "οδος.");
  EXPECT_EQ(qm::lowercase_full("ΟΔΟΣ.Α"), "οδοσ.α");
  EXPECT_EQ(qm::lowercase_full("'Σ"), "'σ");
  EXPECT_EQ(qm::lowercase_full("A\xff"), "a�");
}

TEST(TextPieces, FillerContainsAndPadding) {
  EXPECT_EQ(qm::filler("─", 3), "───");
  EXPECT_EQ(qm::filler(" ", 0), "");
  EXPECT_TRUE(qm::contains("/robot/odom", "bot/o"));
  EXPECT_TRUE(qm::contains("abc", ""));
  EXPECT_FALSE(qm::contains("abc", "B"));
  EXPECT_EQ(qm::pad_right("ab", 4), "ab  ");
  EXPECT_EQ(qm::pad_right("äb", 4), "äb  ");  // counted in characters, not bytes
  EXPECT_EQ(qm::pad_right("日本", 3), "日本 ");
  EXPECT_EQ(qm::pad_right("abcdef", 3), "abcdef");
}

}  // namespace
