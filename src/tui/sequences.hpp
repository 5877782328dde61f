#pragma once

#include <string_view>

namespace tui {

// Control sequences that switch terminal modes on and off.
inline constexpr std::string_view alternate_screen_on = "\x1b[?1049h";
inline constexpr std::string_view alternate_screen_off = "\x1b[?1049l";
// Normal, button-event and any-event tracking, extended and SGR coordinates.
inline constexpr std::string_view mouse_capture_on =
    "\x1b[?1000h\x1b[?1002h\x1b[?1003h\x1b[?1015h\x1b[?1006h";
// The same modes switched off in the reverse order.
inline constexpr std::string_view mouse_capture_off =
    "\x1b[?1006l\x1b[?1015l\x1b[?1003l\x1b[?1002l\x1b[?1000l";
inline constexpr std::string_view show_cursor_sequence = "\x1b[?25h";
inline constexpr std::string_view hide_cursor_sequence = "\x1b[?25l";
inline constexpr std::string_view clear_screen_sequence = "\x1b[2J";

static_assert(mouse_capture_on.size() == 40 && mouse_capture_off.size() == 40);

}  // namespace tui
