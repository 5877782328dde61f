#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "tui/geometry.hpp"

namespace tui {

// Keys that are not plain characters; `character` is a key that types `KeyEvent::character`.
enum class KeyCode : uint8_t {
  character,
  enter,
  tab,
  back_tab,
  backspace,
  escape,
  left,
  right,
  up,
  down,
  home,
  end,
  page_up,
  page_down,
  insert,
  delete_key,
  f1,
  f2,
  f3,
  f4,
  f5,
  f6,
  f7,
  f8,
  f9,
  f10,
  f11,
  f12,
};

struct KeyModifiers {
  bool shift = false;
  bool alt = false;
  bool control = false;

  bool operator==(const KeyModifiers&) const = default;
  bool none() const { return !shift && !alt && !control; }
};

// Terminals without an enhanced keyboard protocol report every key as a press.
enum class KeyKind : uint8_t { press, repeat, release };

// A key. Control+letter comes as the lower-case letter with `control` set (Ctrl+C is 'c').
struct KeyEvent {
  KeyCode code = KeyCode::character;
  char32_t character = 0;
  KeyModifiers modifiers;
  KeyKind kind = KeyKind::press;

  bool operator==(const KeyEvent&) const = default;
};

enum class MouseButton : uint8_t { left, middle, right, none };

enum class MouseKind : uint8_t {
  press,
  release,
  // Moved with a button held.
  drag,
  // Moved with no button held.
  moved,
  wheel_up,
  wheel_down,
  wheel_left,
  wheel_right,
};

// A mouse report at a 0-based cell. `button` is none for wheels, moves and releases that do not
// tell which button was let go.
struct MouseEvent {
  MouseKind kind = MouseKind::press;
  MouseButton button = MouseButton::none;
  uint16_t column = 0;
  uint16_t row = 0;
  KeyModifiers modifiers;

  bool operator==(const MouseEvent&) const = default;
};

// The terminal's new window size.
struct ResizeEvent {
  Size size;
  bool operator==(const ResizeEvent&) const = default;
};

struct FocusGained {
  bool operator==(const FocusGained&) const = default;
};

struct FocusLost {
  bool operator==(const FocusLost&) const = default;
};

// Text pasted as a whole (bracketed paste), exactly as the terminal sent it.
struct PasteEvent {
  std::string text;
  bool operator==(const PasteEvent&) const = default;
};

// The process went on after a stop. The terminal was handed back meanwhile (its settings, screen
// and modes are no longer the program's), so it must be set up and drawn whole again.
struct ContinuedEvent {
  bool operator==(const ContinuedEvent&) const = default;
};

using Event = std::variant<KeyEvent, MouseEvent, ResizeEvent, FocusGained, FocusLost, PasteEvent,
                           ContinuedEvent>;

}  // namespace tui
