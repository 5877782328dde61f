#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tui/style.hpp"

namespace tui {

// A piece of text drawn in one style.
struct Span {
  std::string content;
  Style style;

  Span() = default;
  Span(std::string text, Style s = {}) : content(std::move(text)), style(s) {}  // NOLINT
  Span(std::string_view text, Style s = {}) : content(text), style(s) {}        // NOLINT
  Span(const char* text, Style s = {}) : content(text), style(s) {}             // NOLINT

  bool operator==(const Span&) const = default;
};

// One line of styled pieces.
struct Line {
  std::vector<Span> spans;

  Line() = default;
  Line(std::vector<Span> pieces) : spans(std::move(pieces)) {}                      // NOLINT
  Line(std::string text, Style s = {}) { spans.emplace_back(std::move(text), s); }  // NOLINT
  Line(const char* text, Style s = {}) { spans.emplace_back(text, s); }             // NOLINT

  void push(std::string text, Style s = {}) { spans.emplace_back(std::move(text), s); }
  // The line's text without styles.
  std::string plain() const;
  // Width in terminal columns.
  std::size_t width() const;

  bool operator==(const Line&) const = default;
};

}  // namespace tui
