#include "ui/styles.hpp"

#include <array>
#include <cstdlib>
#include <cstring>

#include "ui/palette.hpp"

namespace qm {

namespace {

struct StatusWord {
  std::string_view word;
  tui::Color colour;
};

constexpr std::array kStatusWords = {
    StatusWord{"ok", palette::ok},
    StatusWord{"pass", palette::ok},
    StatusWord{"ready", palette::ok},
    StatusWord{"added", palette::ok},
    StatusWord{"passed", palette::ok},
    StatusWord{"success", palette::ok},
    StatusWord{"finished", palette::ok},
    StatusWord{"succeeded", palette::ok},
    StatusWord{"fail", palette::bad},
    StatusWord{"died", palette::bad},
    StatusWord{"error", palette::bad},
    StatusWord{"abort", palette::bad},
    StatusWord{"failed", palette::bad},
    StatusWord{"aborted", palette::bad},
    StatusWord{"removed", palette::bad},
    StatusWord{"timed_out", palette::bad},
    StatusWord{"blocked", palette::warn},
    StatusWord{"warning", palette::warn},
    StatusWord{"changed", palette::warn},
    StatusWord{"ambiguous", palette::warn},
    StatusWord{"unmeasured", palette::warn},
    StatusWord{"unavailable", palette::warn},
    StatusWord{"running", palette::info},
    StatusWord{"measured", palette::info},
    StatusWord{"observed", palette::info},
    StatusWord{"skip", palette::text_skipped},
    StatusWord{"skipped", palette::text_skipped},
    StatusWord{"canceled", palette::text_skipped},
    StatusWord{"cancelled", palette::text_skipped},
    StatusWord{"not-requested", palette::text_skipped},
    StatusWord{"not_requested", palette::text_skipped},
};
// Longer than every word of the table.
constexpr std::size_t kLongestStatusWord = 16;

constexpr std::array<int, 6> kCubeLevels = {0, 95, 135, 175, 215, 255};

bool is_white_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The position (0–5) of the cube level nearest to `channel`; the lower level wins a tie.
int nearest_cube_level(int channel) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(kCubeLevels.size()); ++i) {
    if (std::abs(channel - kCubeLevels[static_cast<std::size_t>(i)]) <
        std::abs(channel - kCubeLevels[static_cast<std::size_t>(best)])) {
      best = i;
    }
  }
  return best;
}

int squared_distance(int r1, int g1, int b1, int r2, int g2, int b2) {
  return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

tui::Color lowered(tui::Color colour) {
  if (colour.kind != tui::Color::Kind::rgb) {
    return colour;
  }
  return tui::Color::indexed_color(rgb_to_indexed(colour));
}

}  // namespace

std::optional<tui::Color> status_colour(std::string_view word) {
  std::size_t begin = 0;
  std::size_t end = word.size();
  while (begin < end && is_white_space(word[begin])) {
    ++begin;
  }
  while (end > begin && is_white_space(word[end - 1])) {
    --end;
  }
  while (begin < end && word[begin] == '[') {
    ++begin;
  }
  while (end > begin && word[end - 1] == ']') {
    --end;
  }
  const std::size_t length = end - begin;
  if (length == 0 || length > kLongestStatusWord) {
    return std::nullopt;
  }
  std::array<char, kLongestStatusWord> lower{};
  for (std::size_t i = 0; i < length; ++i) {
    lower[i] = ascii_lower(word[begin + i]);
  }
  const std::string_view normalised(lower.data(), length);
  for (const StatusWord& entry : kStatusWords) {
    if (entry.word == normalised) {
      return entry.colour;
    }
  }
  return std::nullopt;
}

uint8_t rgb_to_indexed(tui::Color colour) {
  const int red = colour.r;
  const int green = colour.g;
  const int blue = colour.b;
  const int r = nearest_cube_level(red);
  const int g = nearest_cube_level(green);
  const int b = nearest_cube_level(blue);
  const int cube_index = 16 + 36 * r + 6 * g + b;
  const int cube_distance = squared_distance(
      red, green, blue, kCubeLevels[static_cast<std::size_t>(r)],
      kCubeLevels[static_cast<std::size_t>(g)], kCubeLevels[static_cast<std::size_t>(b)]);

  const int average = (red + green + blue) / 3;
  const int j = average < 3 ? 0 : (average - 3) / 10;
  const int grey = 8 + 10 * std::min(j, 23);
  const int grey_distance = squared_distance(red, green, blue, grey, grey, grey);
  if (grey_distance < cube_distance) {
    return static_cast<uint8_t>(j < 24 ? 232 + j : 255);
  }
  return static_cast<uint8_t>(cube_index);
}

void lower_frame_colours(tui::Buffer& frame) {
  // A frame uses a few dozen colours, and neighbouring cells mostly share theirs: each colour is
  // converted once into a small table indexed by a hash of it, and a cell whose colours are its
  // left neighbour's takes that one's result. Colours compare as their bytes, in two loads.
  struct Conversion {
    tui::Color from;
    tui::Color to;
  };
  std::array<Conversion, 64> known{};
  const auto same = [](const tui::Color& a, const tui::Color& b) {
    return std::memcmp(&a, &b, sizeof(tui::Color)) == 0;
  };
  const auto lowered_once = [&](tui::Color colour) {
    Conversion& slot = known[(colour.r * 7u + colour.g * 13u + colour.b * 29u) % known.size()];
    if (!same(slot.from, colour)) {
      slot = Conversion{colour, lowered(colour)};
    }
    return slot.to;
  };
  Conversion fg_last{};
  Conversion bg_last{};
  for (tui::Cell& cell : frame.cells()) {
    if (!same(cell.fg, fg_last.from) || !same(cell.bg, bg_last.from)) {
      fg_last = Conversion{cell.fg, lowered_once(cell.fg)};
      bg_last = Conversion{cell.bg, lowered_once(cell.bg)};
    }
    cell.fg = fg_last.to;
    cell.bg = bg_last.to;
  }
}

bool truecolour_from_colorterm(const char* colorterm) {
  if (colorterm == nullptr) {
    return false;
  }
  std::string_view value(colorterm);
  if (value.size() > 9) {
    return false;
  }
  std::array<char, 9> lower{};
  for (std::size_t i = 0; i < value.size(); ++i) {
    lower[i] = ascii_lower(value[i]);
  }
  const std::string_view normalised(lower.data(), value.size());
  return normalised == "truecolor" || normalised == "24bit";
}

bool no_color_from(const char* no_color) {
  return no_color != nullptr && *no_color != '\0';
}

}  // namespace qm
