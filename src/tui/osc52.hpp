#pragma once

#include <string>
#include <string_view>

namespace tui {

// The bytes in standard Base64 (with "=" padding, no line breaks).
std::string base64(std::string_view bytes);

// The sequence that asks the terminal to put `text` on the system clipboard: ESC "]52;c;", the
// Base64 of the text, BEL. Terminals and multiplexers that allow it pass it on, also over SSH.
std::string clipboard_sequence(std::string_view text);

}  // namespace tui
