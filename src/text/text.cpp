#include "text/text.hpp"

#include <utf8proc.h>

#include <algorithm>

#include "base/char_class.hpp"
#include "base/unicode.hpp"

namespace qm {

namespace {

constexpr std::string_view kEllipsis = "…";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::size_t kDisplaySafeLimit = 200'000;
constexpr std::size_t kTailLimit = 24;

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One character of `text` that starts at `offset`; invalid bytes are one character each.
base::DecodedChar char_at(std::string_view text, std::size_t offset) {
  const auto byte = static_cast<unsigned char>(text[offset]);
  if (byte < 0x80) {
    return {byte, 1};
  }
  return base::decode_utf8(text, offset);
}

// The character that ends just before `end`: the longest well-formed sequence that ends there,
// else the single byte before `end`.
base::DecodedChar char_before(std::string_view text, std::size_t end) {
  const auto last = static_cast<unsigned char>(text[end - 1]);
  if (last < 0x80) {
    return {last, 1};
  }
  std::size_t start = end - 1;
  while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
    --start;
  }
  const base::DecodedChar decoded = base::decode_utf8(text, start);
  if (decoded.length == end - start) {
    return decoded;
  }
  return {0xFFFD, 1};
}

bool is_invalid(const base::DecodedChar& c) {
  return c.value == 0xFFFD && c.length == 1;
}

bool is_unsafe(char32_t c) {
  if (c == '\t' || c == '\n') {
    return false;
  }
  return base::is_unsafe_character(c);
}

bool is_safe_ascii(unsigned char byte) {
  return (byte >= 0x20 && byte < 0x7F) || byte == '\t' || byte == '\n';
}

bool is_cased(char32_t c) {
  if (c < 0x80) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  const auto code = static_cast<utf8proc_int32_t>(c);
  const utf8proc_category_t category = utf8proc_category(code);
  return category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LL ||
         category == UTF8PROC_CATEGORY_LT || utf8proc_islower(code) || utf8proc_isupper(code);
}

bool is_case_ignorable(char32_t c) {
  switch (c) {
    case 0x0027:
    case 0x002E:
    case 0x003A:
    case 0x00B7:
    case 0x0387:
    case 0x055F:
    case 0x05F4:
    case 0x2018:
    case 0x2019:
    case 0x2024:
    case 0x2027:
    case 0xFE13:
    case 0xFE52:
    case 0xFE55:
    case 0xFF07:
    case 0xFF0E:
    case 0xFF1A:
      return true;
    default:
      break;
  }
  if (c < 0x80) {
    return c == '^' || c == '`';
  }
  const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
  return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_ME ||
         category == UTF8PROC_CATEGORY_CF || category == UTF8PROC_CATEGORY_LM ||
         category == UTF8PROC_CATEGORY_SK;
}

// A capital sigma at [offset, end) ends a word when a cased letter comes before it (possibly
// through case-ignorable characters) and none follows it. A character that is both cased and
// case-ignorable counts as cased.
bool ends_word(std::string_view text, std::size_t offset, std::size_t end) {
  bool cased_before = false;
  for (std::size_t position = offset; position > 0;) {
    const base::DecodedChar c = char_before(text, position);
    position -= c.length;
    if (is_cased(c.value)) {
      cased_before = true;
      break;
    }
    if (!is_case_ignorable(c.value)) {
      break;
    }
  }
  if (!cased_before) {
    return false;
  }
  for (std::size_t position = end; position < text.size();) {
    const base::DecodedChar c = char_at(text, position);
    position += c.length;
    if (is_cased(c.value)) {
      return false;
    }
    if (!is_case_ignorable(c.value)) {
      break;
    }
  }
  return true;
}

}  // namespace

std::size_t display_width(std::string_view text) {
  return base::text_width(text);
}

std::string truncate_end(std::string_view text, std::size_t max_width) {
  std::size_t width = 0;
  std::size_t cut = text.size();
  bool cut_found = false;
  for (std::size_t offset = 0; offset < text.size();) {
    const base::DecodedChar c = char_at(text, offset);
    const auto char_columns = static_cast<std::size_t>(base::char_width(c.value));
    if (!cut_found && width + char_columns + 1 > max_width) {
      cut = offset;
      cut_found = true;
    }
    width += char_columns;
    offset += c.length;
    if (width > max_width) {
      std::string out(text.substr(0, cut));
      out += kEllipsis;
      return out;
    }
  }
  return std::string(text);
}

std::string truncate_middle(std::string_view text, std::size_t max_width) {
  if (display_width(text) <= max_width) {
    return std::string(text);
  }
  if (max_width <= 1) {
    return std::string(kEllipsis);
  }
  const std::size_t tail_budget = std::min(max_width - 1, kTailLimit);
  const std::size_t head_budget = max_width - tail_budget - 1;

  std::size_t tail_start = text.size();
  for (std::size_t tail_width = 0; tail_start > 0;) {
    const base::DecodedChar c = char_before(text, tail_start);
    const auto char_columns = static_cast<std::size_t>(base::char_width(c.value));
    if (tail_width + char_columns > tail_budget) {
      break;
    }
    tail_width += char_columns;
    tail_start -= c.length;
  }
  std::size_t head_end = 0;
  for (std::size_t head_width = 0; head_end < text.size();) {
    const base::DecodedChar c = char_at(text, head_end);
    const auto char_columns = static_cast<std::size_t>(base::char_width(c.value));
    if (head_width + char_columns > head_budget) {
      break;
    }
    head_width += char_columns;
    head_end += c.length;
  }
  const std::size_t tail_length = text.size() - tail_start;
  if (head_end + tail_length >= text.size()) {
    return std::string(text);
  }
  std::string out;
  out.reserve(head_end + kEllipsis.size() + tail_length);
  out += text.substr(0, head_end);
  out += kEllipsis;
  out += text.substr(tail_start);
  return out;
}

std::string display_safe(std::string_view text) {
  std::string out;
  out.reserve(std::min(text.size(), kDisplaySafeLimit * 4));
  std::size_t characters = 0;
  std::size_t offset = 0;
  while (offset < text.size() && characters < kDisplaySafeLimit) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    if (byte < 0x80) {
      // Copy a run of safe ASCII in one piece.
      const std::size_t run_end = std::min(text.size(), offset + (kDisplaySafeLimit - characters));
      std::size_t end = offset;
      while (end < run_end && is_safe_ascii(static_cast<unsigned char>(text[end]))) {
        ++end;
      }
      if (end > offset) {
        out.append(text.substr(offset, end - offset));
        characters += end - offset;
        offset = end;
        continue;
      }
      out += kReplacement;
      ++characters;
      ++offset;
      continue;
    }
    const base::DecodedChar c = base::decode_utf8(text, offset);
    if (is_invalid(c) || is_unsafe(c.value)) {
      out += kReplacement;
    } else {
      out.append(text.substr(offset, c.length));
    }
    ++characters;
    offset += c.length;
  }
  return out;
}

std::string filler(std::string_view text, std::size_t count) {
  std::string out;
  out.reserve(text.size() * count);
  for (std::size_t i = 0; i < count; ++i) {
    out += text;
  }
  return out;
}

bool contains(std::string_view text, std::string_view needle) {
  return text.find(needle) != std::string_view::npos;
}

std::string pad_right(std::string_view text, std::size_t characters) {
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < text.size() && count < characters; ++count) {
    offset += char_at(text, offset).length;
  }
  std::string out(text);
  if (count < characters) {
    out.append(characters - count, ' ');
  }
  return out;
}

std::string lowercase_full(std::string_view text) {
  if (is_ascii(text)) {
    std::string out(text);
    for (char& c : out) {
      c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
  }
  std::string out;
  out.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    const base::DecodedChar c = char_at(text, offset);
    const std::size_t end = offset + c.length;
    if (c.value < 0x80) {
      const auto byte = static_cast<char>(c.value);
      out.push_back((byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte);
    } else if (c.value == 0x0130) {
      out += "i\xCC\x87";
    } else if (c.value == 0x03A3) {
      out += ends_word(text, offset, end) ? "\xCF\x82" : "\xCF\x83";
    } else if (is_invalid(c)) {
      out += kReplacement;
    } else {
      const auto lower = utf8proc_tolower(static_cast<utf8proc_int32_t>(c.value));
      if (static_cast<char32_t>(lower) == c.value) {
        out.append(text.substr(offset, c.length));
      } else {
        base::append_utf8(out, static_cast<char32_t>(lower));
      }
    }
    offset = end;
  }
  return out;
}

}  // namespace qm
