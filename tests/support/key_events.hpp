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

}  // namespace qm::testing
