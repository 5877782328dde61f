#include "tui/osc52.hpp"

#include <gtest/gtest.h>

namespace tui {
namespace {

TEST(Osc52, Base64OfEveryPaddingLength) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string_view("\xff\xfe\x00", 3), "//4A"},
  };
  for (const auto& [bytes, encoded] : cases) {
    EXPECT_EQ(base64(bytes), encoded);
  }
}

TEST(Osc52, ClipboardSequence) {
  EXPECT_EQ(clipboard_sequence("abc"), "\x1b]52;c;YWJj\x07");
  EXPECT_EQ(clipboard_sequence(""), "\x1b]52;c;\x07");
}

}  // namespace
}  // namespace tui
