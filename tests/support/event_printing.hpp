#pragma once

#include <cstdint>
#include <ostream>

#include "tui/events.hpp"

// Readable events in test failure messages.
namespace tui {

inline void PrintTo(const KeyModifiers& modifiers, std::ostream* out) {
  *out << (modifiers.shift ? "shift+" : "") << (modifiers.alt ? "alt+" : "")
       << (modifiers.control ? "ctrl+" : "");
}
inline void PrintTo(const KeyEvent& key, std::ostream* out) {
  *out << "key(";
  PrintTo(key.modifiers, out);
  *out << static_cast<int>(key.code) << " U+" << std::hex << static_cast<uint32_t>(key.character)
       << std::dec << " kind " << static_cast<int>(key.kind) << ")";
}
inline void PrintTo(const MouseEvent& mouse, std::ostream* out) {
  *out << "mouse(";
  PrintTo(mouse.modifiers, out);
  *out << "kind " << static_cast<int>(mouse.kind) << " button " << static_cast<int>(mouse.button)
       << " at " << mouse.column << "," << mouse.row << ")";
}
inline void PrintTo(const ResizeEvent& resize, std::ostream* out) {
  *out << "resize(" << resize.size.width << "x" << resize.size.height << ")";
}
inline void PrintTo(const FocusGained&, std::ostream* out) {
  *out << "focus gained";
}
inline void PrintTo(const FocusLost&, std::ostream* out) {
  *out << "focus lost";
}
inline void PrintTo(const PasteEvent& paste, std::ostream* out) {
  *out << "paste(" << paste.text << ")";
}
inline void PrintTo(const ContinuedEvent&, std::ostream* out) {
  *out << "continued";
}

}  // namespace tui
