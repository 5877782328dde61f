#include "input/text_entry.hpp"

#include "base/char_class.hpp"
#include "base/unicode.hpp"

namespace qm {

bool accepted_character(const tui::KeyEvent& key, bool refuse_bidi_controls) {
  if (key.code != tui::KeyCode::character || key.modifiers.control) {
    return false;
  }
  const char32_t c = key.character;
  if (base::is_control_character(c) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return false;
  }
  return !refuse_bidi_controls || !base::is_bidi_control(c);
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < text.size(); ++count) {
    offset += base::decode_utf8(text, offset).length;
  }
  return count;
}

bool is_blank(std::string_view text) {
  return text.find_first_not_of(" \t\n\r\f\v") == std::string_view::npos;
}

void remove_last_character(std::string& text) {
  while (!text.empty()) {
    const auto last = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((last & 0xC0) != 0x80) {
      break;
    }
  }
}

}  // namespace qm
