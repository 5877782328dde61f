#pragma once

namespace base {

// C0 and C1 control characters (below 32, and 127–159).
constexpr bool is_control_character(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The bidirectional embedding, override and isolate controls, which would garble a line.
constexpr bool is_bidi_control(char32_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// A character that never reaches the screen or a saved id as it is: a control or a
// bidirectional control.
constexpr bool is_unsafe_character(char32_t c) {
  return is_control_character(c) || is_bidi_control(c);
}

}  // namespace base
