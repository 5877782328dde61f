#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tui/events.hpp"

namespace qm {

// Whether a typed key is a character a text entry takes: no Control, no C0 or C1 control, and,
// when `refuse_bidi_controls`, none of the bidirectional controls that would garble a line.
bool accepted_character(const tui::KeyEvent& key, bool refuse_bidi_controls);

// How many characters (code points) `text` holds.
std::size_t character_count(std::string_view text);

// Whether `text` holds nothing but white space (an answer or prompt that is not sent).
bool is_blank(std::string_view text);

// Drops the last character, with every byte of it.
void remove_last_character(std::string& text);

}  // namespace qm
