#include "tui/osc52.hpp"

#include <cstdint>

namespace tui {

std::string base64(std::string_view bytes) {
  static constexpr std::string_view alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (left > 1) {
      group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    }
    if (left > 2) {
      group |= static_cast<unsigned char>(bytes[i + 2]);
    }
    out += alphabet[(group >> 18) & 0x3F];
    out += alphabet[(group >> 12) & 0x3F];
    out += left > 1 ? alphabet[(group >> 6) & 0x3F] : '=';
    out += left > 2 ? alphabet[group & 0x3F] : '=';
  }
  return out;
}

std::string clipboard_sequence(std::string_view text) {
  return "\x1b]52;c;" + base64(text) + "\x07";
}

}  // namespace tui
