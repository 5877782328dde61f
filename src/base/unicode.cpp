#include "base/unicode.hpp"

#include <utf8proc.h>

namespace base {

DecodedChar decode_utf8(std::string_view text, std::size_t offset) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  const unsigned char first = bytes[offset];
  if (first < 0x80) {
    return {first, 1};
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((first & 0xE0) == 0xC0) {
    length = 2;
    value = first & 0x1F;
    minimum = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3;
    value = first & 0x0F;
    minimum = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4;
    value = first & 0x07;
    minimum = 0x10000;
  } else {
    return {0xFFFD, 1};
  }
  if (offset + length > size) {
    return {0xFFFD, 1};
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = bytes[offset + i];
    if ((next & 0xC0) != 0x80) {
      return {0xFFFD, 1};
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return {0xFFFD, 1};
  }
  return {value, length};
}

bool is_valid_utf8(std::string_view text) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    if (static_cast<unsigned char>(text[offset]) < 0x80) {
      ++offset;
      continue;
    }
    const DecodedChar c = decode_utf8(text, offset);
    if (c.value == 0xFFFD && c.length == 1) {
      return false;
    }
    offset += c.length;
  }
  return true;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

int char_width(char32_t c) {
  if (c >= 0x20 && c < 0x7F) {
    return 1;
  }
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
    return 0;
  }
  const int width = utf8proc_charwidth(static_cast<utf8proc_int32_t>(c));
  return width < 0 ? 0 : width;
}

std::size_t text_width(std::string_view text) {
  std::size_t width = 0;
  std::size_t offset = 0;
  const std::size_t size = text.size();
  while (offset < size) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    if (byte < 0x80) {
      width += (byte >= 0x20 && byte < 0x7F) ? 1 : 0;
      ++offset;
      continue;
    }
    const DecodedChar c = decode_utf8(text, offset);
    width += static_cast<std::size_t>(char_width(c.value));
    offset += c.length;
  }
  return width;
}

std::size_t grapheme_length(std::string_view text, std::size_t offset) {
  if (offset >= text.size()) {
    return 0;
  }
  DecodedChar first = decode_utf8(text, offset);
  std::size_t end = offset + first.length;
  // ASCII followed by ASCII never joins, except CR LF.
  if (first.value < 0x80 && (end >= text.size() || static_cast<unsigned char>(text[end]) < 0x80)) {
    if (first.value == '\r' && end < text.size() && text[end] == '\n') {
      return 2;
    }
    return 1;
  }
  utf8proc_int32_t state = 0;
  char32_t previous = first.value;
  while (end < text.size()) {
    const DecodedChar next = decode_utf8(text, end);
    if (utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(previous),
                                         static_cast<utf8proc_int32_t>(next.value), &state)) {
      break;
    }
    previous = next.value;
    end += next.length;
  }
  return end - offset;
}

int grapheme_width(std::string_view cluster) {
  // The sum of the character widths, so that a cell grid agrees with text_width.
  return static_cast<int>(text_width(cluster));
}

}  // namespace base
