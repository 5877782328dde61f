#include "ui/line_style.hpp"

#include <utf8proc.h>

#include <array>

#include "base/unicode.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"
#include "views/changed_fields.hpp"

namespace qm {

namespace {

constexpr std::string_view kChosenMarker = "› ";
constexpr std::string_view kBullet = "•";
constexpr std::string_view kSeparator = "·";
constexpr std::size_t kTitleLimit = 40;
constexpr std::size_t kKeyLimit = 40;
constexpr std::size_t kKeyWordLimit = 5;
constexpr std::size_t kHeadingCapitals = 5;
constexpr std::size_t kLabelValueOffset = 10;

constexpr std::array<std::string_view, 17> kColumnLabels = {
    "Mode",          "Backend",   "ROS distribution", "ROS domain",
    "Launch",        "Readiness", "Updated",          "Revision",
    "Nodes",         "Topics",    "Frames",           "Structural changes",
    "Evidence runs", "State",     "Recording",        "Owned",
    "Available",
};
constexpr std::array<std::string_view, 4> kKeyCaps = {"p", "x", "r", "Space"};

constexpr tui::Style kBase = tui::fg(palette::text_base);
constexpr tui::Style kMuted = tui::fg(palette::text_muted);
constexpr tui::Style kDim = tui::fg(palette::text_dim);
constexpr tui::Style kBright = tui::fg(palette::text_bright);
constexpr tui::Style kTitle = tui::fg(palette::text_muted).bold();
constexpr tui::Style kAccent = tui::fg(palette::accent_soft).bold();
constexpr tui::Style kChangedField = tui::fg(palette::warn);
constexpr tui::Style kKeyCap = tui::fg(palette::text_bright).with_bg(palette::bg_key).bold();

bool is_white_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::size_t leading_space(std::string_view text) {
  std::size_t count = 0;
  while (count < text.size() && is_white_space(text[count])) {
    ++count;
  }
  return count;
}

std::string_view trim(std::string_view text) {
  text.remove_prefix(leading_space(text));
  while (!text.empty() && is_white_space(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool has_white_space(std::string_view text) {
  for (const char c : text) {
    if (is_white_space(c)) {
      return true;
    }
  }
  return false;
}

bool is_ascii_capital(char c) {
  return c >= 'A' && c <= 'Z';
}

bool starts_with_letter(std::string_view text) {
  if (text.empty()) {
    return false;
  }
  const auto byte = static_cast<unsigned char>(text[0]);
  if (byte < 0x80) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
  }
  const base::DecodedChar first = base::decode_utf8(text, 0);
  if (first.value == 0xFFFD && first.length == 1) {
    return false;
  }
  switch (utf8proc_category(static_cast<utf8proc_int32_t>(first.value))) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
      return true;
    default:
      return false;
  }
}

bool holds_lower_case(std::string_view word) {
  for (std::size_t offset = 0; offset < word.size();) {
    const auto byte = static_cast<unsigned char>(word[offset]);
    if (byte < 0x80) {
      if (byte >= 'a' && byte <= 'z') {
        return true;
      }
      ++offset;
      continue;
    }
    const base::DecodedChar c = base::decode_utf8(word, offset);
    const auto code = static_cast<utf8proc_int32_t>(c.value);
    if (utf8proc_category(code) == UTF8PROC_CATEGORY_LL || utf8proc_islower(code)) {
      return true;
    }
    offset += c.length;
  }
  return false;
}

// Appends a piece, joining it to the last one when the styles agree.
void push(tui::Line& line, std::string_view text, const tui::Style& style) {
  if (text.empty()) {
    return;
  }
  if (!line.spans.empty() && line.spans.back().style == style) {
    line.spans.back().content += text;
    return;
  }
  line.spans.emplace_back(text, style);
}

tui::Style status_style(const tui::Style& base, tui::Color colour) {
  return base.with_fg(colour).bold();
}

// The end of the heading part when `text` is an upper-case heading.
std::optional<std::size_t> heading_end(std::string_view text) {
  if (text.empty() || !is_ascii_capital(text[0])) {
    return std::nullopt;
  }
  std::size_t capitals = 0;
  std::size_t end = 0;
  bool first = true;
  for (std::size_t position = 0; position < text.size();) {
    if (text[position] == ' ') {
      ++position;
      continue;
    }
    std::size_t word_end = text.find(' ', position);
    if (word_end == std::string_view::npos) {
      word_end = text.size();
    }
    const std::string_view word = text.substr(position, word_end - position);
    if (first && word.back() == ':') {
      return std::nullopt;
    }
    first = false;
    if (holds_lower_case(word)) {
      break;
    }
    std::size_t word_capitals = 0;
    for (const char c : word) {
      word_capitals += is_ascii_capital(c) ? 1 : 0;
    }
    if (word_capitals > 0) {
      end = word_end;
    }
    capitals += word_capitals;
    position = word_end;
  }
  if (capitals > kHeadingCapitals) {
    return end;
  }
  return std::nullopt;
}

bool is_group_title(std::string_view text, std::size_t indent,
                    std::optional<std::string_view> next) {
  const std::string_view trimmed = trim(text);
  if (trimmed.empty() || trimmed.size() > kTitleLimit || !starts_with_letter(trimmed)) {
    return false;
  }
  if (trimmed.find(": ") != std::string_view::npos || trimmed.back() == '.' ||
      trimmed.back() == ':') {
    return false;
  }
  if (heading_end(text)) {
    return false;
  }
  return next && !trim(*next).empty() && leading_space(*next) > indent;
}

bool is_key(std::string_view key) {
  const std::string_view trimmed = trim(key);
  if (trimmed.empty() || trimmed.size() > kKeyLimit || trimmed.front() == '/') {
    return false;
  }
  if (trimmed.find_first_of(",.;") != std::string_view::npos) {
    return false;
  }
  std::size_t words = 0;
  bool in_word = false;
  for (const char c : trimmed) {
    if (is_white_space(c)) {
      in_word = false;
    } else if (!in_word) {
      in_word = true;
      ++words;
    }
  }
  return words <= kKeyWordLimit;
}

void append_segment(tui::Line& line, std::string_view segment, const tui::Style& base,
                    bool detect_pairs) {
  if (detect_pairs) {
    const std::size_t colon = segment.find(": ");
    if (colon != std::string_view::npos && is_key(segment.substr(0, colon))) {
      push(line, segment.substr(0, colon + 1), kMuted);
      append_styled_value(line, segment.substr(colon + 1));
      return;
    }
  }
  append_with_status_tokens(line, segment, base);
}

// The text split at every "·", the separators dim and each segment styled on its own.
void append_segments(tui::Line& line, std::string_view text, const tui::Style& base,
                     bool detect_pairs) {
  std::size_t start = 0;
  while (true) {
    const std::size_t separator = text.find(kSeparator, start);
    if (separator == std::string_view::npos) {
      append_segment(line, text.substr(start), base, detect_pairs);
      return;
    }
    append_segment(line, text.substr(start, separator - start), base, detect_pairs);
    push(line, kSeparator, kDim);
    start = separator + kSeparator.size();
  }
}

// The offset of the value of a label-column line, when the text is one.
std::optional<std::size_t> label_value_offset(std::string_view text) {
  for (const std::string_view label : kColumnLabels) {
    if (!text.starts_with(label) || text.size() <= label.size() || text[label.size()] != ' ') {
      continue;
    }
    std::size_t offset = label.size();
    while (offset < text.size() && text[offset] == ' ') {
      ++offset;
    }
    if (offset > kLabelValueOffset) {
      return offset;
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> key_cap(std::string_view text) {
  for (const std::string_view key : kKeyCaps) {
    if (text.size() >= key.size() + 2 && text.starts_with(key) &&
        text.substr(key.size(), 2) == "  ") {
      return text.substr(0, key.size());
    }
  }
  return std::nullopt;
}

}  // namespace

void append_with_status_tokens(tui::Line& line, std::string_view text, tui::Style base) {
  std::size_t plain_start = 0;
  std::size_t open = text.find('[');
  while (open != std::string_view::npos) {
    std::size_t close = open + 1;
    while (close < text.size() && text[close] != ']' && text[close] != '[' &&
           !is_white_space(text[close])) {
      ++close;
    }
    if (close < text.size() && text[close] == ']' && close > open + 1) {
      const std::string_view token = text.substr(open, close - open + 1);
      if (const auto colour = status_colour(token)) {
        push(line, text.substr(plain_start, open - plain_start), base);
        push(line, token, status_style(base, *colour));
        plain_start = close + 1;
      }
    }
    open = text.find('[', open + 1);
  }
  push(line, text.substr(plain_start), base);
}

void append_styled_value(tui::Line& line, std::string_view value) {
  const std::string_view trimmed = trim(value);
  if (!trimmed.empty() && !has_white_space(trimmed)) {
    if (const auto colour = status_colour(trimmed)) {
      push(line, value, status_style(tui::Style{}, *colour));
      return;
    }
  }
  if (trimmed == "none" || trimmed == "unknown") {
    push(line, value, kMuted);
    return;
  }
  append_with_status_tokens(line, value, kBright);
}

tui::Line style_detail_line(std::string_view line, std::optional<std::string_view> next,
                            LineShapes shapes) {
  tui::Line styled;
  const std::size_t indent = leading_space(line);
  push(styled, line.substr(0, indent), tui::Style{});
  const std::string_view text = line.substr(indent);

  if (is_group_title(text, indent, next)) {
    push(styled, text, kTitle);
    return styled;
  }
  if (text.starts_with(kChosenMarker)) {
    push(styled, text, kAccent);
    return styled;
  }
  if (shapes == LineShapes::with_changed_fields && indent == 0 && is_changed_field_line(text)) {
    push(styled, text, kChangedField);
    return styled;
  }
  if (const auto end = heading_end(text)) {
    push(styled, text.substr(0, *end), kAccent);
    append_segments(styled, text.substr(*end), kMuted, false);
    return styled;
  }
  if (indent == 0) {
    if (const auto offset = label_value_offset(text)) {
      push(styled, text.substr(0, *offset), kMuted);
      append_styled_value(styled, text.substr(*offset));
      return styled;
    }
    if (const auto key = key_cap(text)) {
      push(styled, *key, kKeyCap);
      push(styled, text.substr(key->size()), kBase);
      return styled;
    }
  }
  const std::size_t gap = text.find("  ");
  if (gap != std::string_view::npos && gap > 0) {
    const std::string_view word = text.substr(0, gap);
    if (word.find(' ') == std::string_view::npos) {
      if (const auto colour = status_colour(word)) {
        push(styled, word, status_style(tui::Style{}, *colour));
        push(styled, "  ", kBase);
        append_with_status_tokens(styled, text.substr(gap + 2), kBright);
        return styled;
      }
    }
  }
  if (text.starts_with(kBullet)) {
    push(styled, kBullet, kDim);
    append_segments(styled, text.substr(kBullet.size()), kBase, true);
    return styled;
  }
  append_segments(styled, text, kBase, true);
  return styled;
}

}  // namespace qm
