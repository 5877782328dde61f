#pragma once

#include "tui/style.hpp"

// The program's one dark palette; every element picks its colour by role.
namespace qm::palette {

inline constexpr tui::Color bg_base = tui::Color::hex(0x0a0a0b);
inline constexpr tui::Color bg_bar = tui::Color::hex(0x141418);
inline constexpr tui::Color bg_panel = tui::Color::hex(0x16161b);
inline constexpr tui::Color bg_selection = tui::Color::hex(0x23233c);
inline constexpr tui::Color bg_key = tui::Color::hex(0x2a2a33);
inline constexpr tui::Color text_base = tui::Color::hex(0xc9c9cf);
inline constexpr tui::Color text_bright = tui::Color::hex(0xededef);
inline constexpr tui::Color text_muted = tui::Color::hex(0x8b8b93);
inline constexpr tui::Color text_dim = tui::Color::hex(0x62626c);
inline constexpr tui::Color text_skipped = tui::Color::hex(0x8e8e96);
inline constexpr tui::Color rule = tui::Color::hex(0x2e2e36);
inline constexpr tui::Color accent = tui::Color::hex(0x7c7cff);
inline constexpr tui::Color accent_soft = tui::Color::hex(0xa5a5ff);
inline constexpr tui::Color on_accent = tui::Color::hex(0x0b0b14);
inline constexpr tui::Color ok = tui::Color::hex(0x4cc38a);
inline constexpr tui::Color warn = tui::Color::hex(0xf5a524);
inline constexpr tui::Color bad = tui::Color::hex(0xf2555a);
inline constexpr tui::Color info = tui::Color::hex(0x7aa7ff);

}  // namespace qm::palette
