#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Columns a text takes on the terminal (printable ASCII 1, controls 0, else East Asian width).
std::size_t display_width(std::string_view text);
// The text cut at the end to `max_width` columns, "…" marking the cut ("…" alone for 0).
std::string truncate_end(std::string_view text, std::size_t max_width);
// The text cut in the middle to `max_width` columns, keeping up to 24 columns of its tail.
std::string truncate_middle(std::string_view text, std::size_t max_width);
// A copy that is safe to print: at most 200,000 characters, tab and line feed kept, other
// control characters and bidirectional controls replaced by U+FFFD.
std::string display_safe(std::string_view text);
// `text` repeated `count` times.
std::string filler(std::string_view text, std::size_t count);
// True when `needle` occurs in `text`, comparing bytes exactly.
bool contains(std::string_view text, std::string_view needle);
// `text` padded with spaces on the right to `characters` characters (counted as code points).
std::string pad_right(std::string_view text, std::size_t characters);
// Full Unicode lower-casing, including the special cases of U+0130 and the final sigma.
std::string lowercase_full(std::string_view text);

}  // namespace qm
