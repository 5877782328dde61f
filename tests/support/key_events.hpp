#pragma once

#include "tui/events.hpp"

namespace qm::testing {

// A press of a key that is not a character.
inline tui::KeyEvent key(tui::KeyCode code) {
  tui::KeyEvent event;
  event.code = code;
  return event;
}

// A press of a character key.
inline tui::KeyEvent key(char32_t character) {
  tui::KeyEvent event;
  event.character = character;
  return event;
}

// A character pressed with Control held (Ctrl+C comes as 'c' with Control).
inline tui::KeyEvent control_key(char32_t character) {
  tui::KeyEvent event = key(character);
  event.modifiers.control = true;
  return event;
}

// A mouse event at a cell; a press is of the left button.
inline tui::MouseEvent mouse(tui::MouseKind kind, uint16_t column = 0, uint16_t row = 0) {
  tui::MouseEvent event;
  event.kind = kind;
  event.button = kind == tui::MouseKind::press ? tui::MouseButton::left : tui::MouseButton::none;
  event.column = column;
  event.row = row;
  return event;
}

inline tui::MouseEvent left_click(uint16_t column, uint16_t row) {
  return mouse(tui::MouseKind::press, column, row);
}

}  // namespace qm::testing
