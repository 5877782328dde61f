#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "base/error.hpp"
#include "model/limits.hpp"
#include "model/view.hpp"

namespace qm {

// The options as scanned; each value is absent until its option is seen.
struct CommandLine {
  bool help = false;
  std::optional<std::string> session_path;
  std::optional<std::string> requests_path;
  std::optional<std::string> check_path;
  std::optional<std::string> print_view;
  std::optional<std::string> select_id;
  std::optional<std::string> width;
  std::optional<std::string> colour;
};

struct HelpMode {};
struct CheckMode {
  std::string path;
};
struct ViewerMode {
  std::string session_path;
  std::optional<std::string> requests_path;
};
struct PrintMode {
  std::string session_path;
  View view = View::health;
  // The row printed in detail: its id or name; the first row when absent.
  std::optional<std::string> select_id;
  uint16_t width = limits::print_width;
  // SGR sequences in the screen's styles; only when asked for by name.
  bool colour = false;
};
using Invocation = std::variant<HelpMode, CheckMode, ViewerMode, PrintMode>;

// The lines printed for -h and --help.
std::string_view usage_text();

// Scans the arguments after the program name, left to right. Stops at -h/--help; the last
// occurrence of an option wins, and an option given as the last argument leaves its value absent.
std::expected<CommandLine, Error> scan_arguments(std::span<const std::string> arguments);

// What the program does with a scanned command line.
std::expected<Invocation, Error> decide_mode(const CommandLine& command_line);

// Both steps together.
std::expected<Invocation, Error> parse_command_line(std::span<const std::string> arguments);

}  // namespace qm
