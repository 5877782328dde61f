#include "soak_input.hpp"

#include <fmt/format.h>

#include <array>
#include <string_view>

namespace qm::soak {

namespace {

// Views, movement, panes, filter entry and its text, overlays (help, messages, launch log) and
// keys that ask the backend for something (refused without a request channel).
constexpr std::array<std::string_view, 48> keys = {
    "1",      "2",      "3",      "4",      "5",       "6",       "7",      "8",
    "9",      "0",      "[",      "]",      "j",       "k",       "\t",     "\x1b[Z",
    "\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D", "\x1b[5~", "\x1b[6~", "\x1b[H", "\x1b[F",
    "\r",     "\x7f",   "/",      "/",      "b",       "v",       "m",      "L",
    "?",      "e",      "r",      "i",      "t",       "y",       "s",      "p",
    " ",      "x",      "\x1b",   "a",      "d",       "g",       "c",      "w"};

unsigned short between(bench::Sequence& random, unsigned short low, unsigned short high) {
  return static_cast<unsigned short>(low + random.below(static_cast<std::size_t>(high - low) + 1));
}

std::string mouse_report(bench::Sequence& random, WindowSize window) {
  const unsigned column = 1 + random.below(window.columns);
  const unsigned row = 1 + random.below(window.rows);
  switch (random.below(4)) {
    case 0:
      return fmt::format("\x1b[<64;{};{}M", column, row);
    case 1:
      return fmt::format("\x1b[<65;{};{}M", column, row);
    case 2:
      return fmt::format("\x1b[<0;{};{}M\x1b[<0;{};{}m", column, row, column, row);
    default:
      return fmt::format("\x1b[<35;{};{}M", column, row);
  }
}

}  // namespace

InputAction random_input(bench::Sequence& random, WindowSize window) {
  const std::size_t roll = random.below(100);
  if (roll < 5) {
    return InputAction{
        .bytes = {},
        .resize = WindowSize{between(random, smallest_window.columns, largest_window.columns),
                             between(random, smallest_window.rows, largest_window.rows)}};
  }
  if (roll < 35) {
    return InputAction{.bytes = mouse_report(random, window), .resize = std::nullopt};
  }
  return InputAction{.bytes = std::string(keys[random.below(keys.size())]), .resize = std::nullopt};
}

}  // namespace qm::soak
