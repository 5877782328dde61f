#pragma once

#include <cstdint>
#include <optional>

namespace tui {

// A cell colour: the terminal's default, a 24-bit colour or an entry of the 256-colour palette.
struct Color {
  enum class Kind : uint8_t { terminal_default, rgb, indexed };

  Kind kind = Kind::terminal_default;
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t index = 0;

  static constexpr Color rgb_color(uint8_t red, uint8_t green, uint8_t blue) {
    return Color{Kind::rgb, red, green, blue, 0};
  }
  static constexpr Color indexed_color(uint8_t palette_index) {
    return Color{Kind::indexed, 0, 0, 0, palette_index};
  }
  // "#rrggbb" written as 0xrrggbb.
  static constexpr Color hex(uint32_t value) {
    return rgb_color(static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                     static_cast<uint8_t>(value));
  }

  bool operator==(const Color&) const = default;
};

// The text attributes a cell can carry.
enum class Modifier : uint8_t { bold = 1 };

class Modifiers {
 public:
  constexpr Modifiers() = default;
  constexpr Modifiers(Modifier m) : bits_(static_cast<uint8_t>(m)) {}  // NOLINT: implicit by design

  constexpr bool has(Modifier m) const { return (bits_ & static_cast<uint8_t>(m)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr Modifiers with(Modifiers other) const { return from_bits(bits_ | other.bits_); }
  constexpr Modifiers without(Modifiers other) const {
    return from_bits(static_cast<uint8_t>(bits_ & ~other.bits_));
  }
  constexpr uint8_t bits() const { return bits_; }

  bool operator==(const Modifiers&) const = default;

 private:
  static constexpr Modifiers from_bits(unsigned bits) {
    Modifiers m;
    m.bits_ = static_cast<uint8_t>(bits);
    return m;
  }
  uint8_t bits_ = 0;
};

// A style patch: absent colours keep what lies below; modifiers are added and removed.
struct Style {
  std::optional<Color> fg;
  std::optional<Color> bg;
  Modifiers add;
  Modifiers remove;

  bool operator==(const Style&) const = default;

  constexpr Style with_fg(Color c) const {
    Style s = *this;
    s.fg = c;
    return s;
  }
  constexpr Style with_bg(Color c) const {
    Style s = *this;
    s.bg = c;
    return s;
  }
  constexpr Style bold() const {
    Style s = *this;
    s.add = s.add.with(Modifier::bold);
    s.remove = s.remove.without(Modifier::bold);
    return s;
  }
  constexpr Style not_bold() const {
    Style s = *this;
    s.remove = s.remove.with(Modifier::bold);
    s.add = s.add.without(Modifier::bold);
    return s;
  }
  // `other` laid over this style.
  constexpr Style patch(const Style& other) const {
    Style s = *this;
    if (other.fg)
      s.fg = other.fg;
    if (other.bg)
      s.bg = other.bg;
    s.add = s.add.without(other.remove).with(other.add);
    s.remove = s.remove.without(other.add).with(other.remove);
    return s;
  }
};

constexpr Style fg(Color c) {
  return Style{}.with_fg(c);
}
constexpr Style bg(Color c) {
  return Style{}.with_bg(c);
}

}  // namespace tui
