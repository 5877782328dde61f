#include "tui/escape_writer.hpp"

#include <charconv>

namespace tui {
namespace {

struct Attributes {
  Color fg;
  Color bg;
  bool bold = false;

  bool operator==(const Attributes&) const = default;
};

void write_number(std::string& out, unsigned value) {
  char digits[8];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// Appends `;` between parameters of one SGR sequence.
struct ParameterList {
  std::string& out;
  bool first = true;

  void next() {
    if (!first) {
      out += ';';
    }
    first = false;
  }
  void add(unsigned value) {
    next();
    write_number(out, value);
  }
};

// `base` is 30 for the foreground and 40 for the background.
void add_colour(ParameterList& parameters, const Color& colour, unsigned base) {
  switch (colour.kind) {
    case Color::Kind::terminal_default:
      parameters.add(base + 9);
      break;
    case Color::Kind::rgb:
      parameters.add(base + 8);
      parameters.add(2);
      parameters.add(colour.r);
      parameters.add(colour.g);
      parameters.add(colour.b);
      break;
    case Color::Kind::indexed:
      parameters.add(base + 8);
      parameters.add(5);
      parameters.add(colour.index);
      break;
  }
}

void write_attribute_change(std::string& out, const Attributes& from, const Attributes& to) {
  out += "\x1b[";
  ParameterList parameters{out};
  if (from.bold != to.bold) {
    parameters.add(to.bold ? 1 : 22);
  }
  if (from.fg != to.fg) {
    add_colour(parameters, to.fg, 30);
  }
  if (from.bg != to.bg) {
    add_colour(parameters, to.bg, 40);
  }
  out += 'm';
}

bool has_control_character(std::string_view symbol) {
  for (const char c : symbol) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      return true;
    }
  }
  return false;
}

Attributes attributes_of(const Cell& cell, const EscapeOptions& options) {
  Attributes wanted;
  wanted.bold = cell.modifiers.has(Modifier::bold);
  if (options.colour) {
    wanted.fg = cell.fg;
    wanted.bg = cell.bg;
  }
  return wanted;
}

// The columns a cell covers: one, and one more for each continuation cell after it.
uint16_t cell_columns(const Buffer& buffer, uint16_t x, uint16_t y) {
  const Rect area = buffer.area();
  uint16_t width = 1;
  while (x + width < area.right() &&
         buffer.at(static_cast<uint16_t>(x + width), y).symbol.empty()) {
    ++width;
  }
  return width;
}

}  // namespace

void write_row_text(std::string& out, const Buffer& buffer, uint16_t y, RowLook look,
                    const EscapeOptions& options) {
  const Rect area = buffer.area();
  if (y < area.y || y >= area.bottom()) {
    return;
  }
  const std::size_t start = out.size();
  const Attributes reset;
  Attributes current = reset;
  for (uint16_t x = area.x; x < area.right();) {
    const Cell& cell = buffer.at(x, y);
    const uint16_t width = cell_columns(buffer, x, y);
    if (look == RowLook::styled) {
      const Attributes wanted = attributes_of(cell, options);
      if (wanted != current) {
        write_attribute_change(out, current, wanted);
        current = wanted;
      }
    }
    if (cell.symbol.empty() || has_control_character(cell.symbol)) {
      out.append(width, ' ');
    } else {
      out += cell.symbol.view();
    }
    x = static_cast<uint16_t>(x + width);
  }
  if (current != reset) {
    out += "\x1b[0m";
  }
  if (look == RowLook::plain) {
    const std::size_t kept = out.find_last_not_of(' ');
    out.resize(kept == std::string::npos || kept < start ? start : kept + 1);
  }
}

void write_cursor_move(std::string& out, Position position) {
  out += "\x1b[";
  write_number(out, unsigned{position.y} + 1);
  out += ';';
  write_number(out, unsigned{position.x} + 1);
  out += 'H';
}

void write_changes(std::string& out, std::span<const CellChange> changes,
                   const EscapeOptions& options) {
  const Attributes reset;
  Attributes current = reset;
  const Cell* styled_as = nullptr;
  // Where the terminal's cursor is, if known.
  bool cursor_known = false;
  Position cursor;
  for (const CellChange& change : changes) {
    const Position position{change.x, change.y};
    if (!cursor_known || cursor != position) {
      write_cursor_move(out, position);
    }
    const Cell& cell = *change.cell;
    // Changed cells mostly come in runs of one style: a cell styled as the last one needs no look.
    if (styled_as == nullptr || cell.fg != styled_as->fg || cell.bg != styled_as->bg ||
        cell.modifiers != styled_as->modifiers) {
      const Attributes wanted = attributes_of(cell, options);
      if (wanted != current) {
        write_attribute_change(out, current, wanted);
        current = wanted;
      }
      styled_as = &cell;
    }
    if (cell.symbol.empty() || has_control_character(cell.symbol)) {
      out.append(change.width, ' ');
      cursor = Position{static_cast<uint16_t>(change.x + change.width), change.y};
      cursor_known = true;
    } else {
      out += cell.symbol.view();
      cursor = Position{static_cast<uint16_t>(change.x + change.width), change.y};
      cursor_known = change.width <= 2;
    }
  }
  if (current != reset) {
    out += "\x1b[0m";
  }
}

}  // namespace tui
