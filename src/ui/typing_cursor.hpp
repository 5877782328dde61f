#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tui/line.hpp"

namespace qm {

// The cursor that ends what the user is typing; it is drawn in accent wherever text is typed.
inline constexpr std::string_view typing_cursor = "▏";

// The cursor as a piece of a line.
tui::Span cursor_span();

// A text that may hold the typing cursor, and the byte where the cursor starts when it does.
struct TypedText {
  std::string text;
  std::optional<std::size_t> cursor;
};

// Where a byte of a text of several lines falls: its line and its byte offset in that line.
struct TextPlace {
  std::size_t line = 0;
  std::size_t offset = 0;

  bool operator==(const TextPlace&) const = default;
};
TextPlace place_of(std::string_view text, std::size_t byte);

// Gives the cursor that starts `offset` bytes into `line`'s text the cursor's style, splitting the
// piece that holds it; the text stays the same. Nothing changes when no cursor starts there.
void paint_cursor(tui::Line& line, std::size_t offset);

}  // namespace qm
