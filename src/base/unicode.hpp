#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// One decoded UTF-8 scalar and the number of bytes it took. Invalid bytes decode as U+FFFD of
// length 1, so a scan always moves forward.
struct DecodedChar {
  char32_t value;
  std::size_t length;
};
DecodedChar decode_utf8(std::string_view text, std::size_t offset);
bool is_valid_utf8(std::string_view text);
void append_utf8(std::string& out, char32_t c);

// Terminal columns of one character: printable ASCII 1, control characters 0, otherwise the
// East Asian width (2 wide, 0 combining or zero-width, 1 else).
int char_width(char32_t c);
// Sum of the character widths of a text, with a fast path for ASCII.
std::size_t text_width(std::string_view text);

// The byte length of the grapheme cluster that starts at `offset`.
std::size_t grapheme_length(std::string_view text, std::size_t offset);
// Columns of one grapheme cluster: the sum of its character widths.
int grapheme_width(std::string_view cluster);

}  // namespace base
