#pragma once

#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "base/error.hpp"

namespace qm {

// The options as scanned; each value is absent until its option is seen.
struct CommandLine {
  bool help = false;
  std::optional<std::string> session_path;
  std::optional<std::string> requests_path;
  std::optional<std::string> check_path;
};

struct HelpMode {};
struct CheckMode {
  std::string path;
};
struct ViewerMode {
  std::string session_path;
  std::optional<std::string> requests_path;
};
using Invocation = std::variant<HelpMode, CheckMode, ViewerMode>;

// The three lines printed for -h and --help.
std::string_view usage_text();

// Scans the arguments after the program name, left to right. Stops at -h/--help; the last
// occurrence of an option wins, and an option given as the last argument leaves its value absent.
std::expected<CommandLine, Error> scan_arguments(std::span<const std::string> arguments);

// What the program does with a scanned command line.
std::expected<Invocation, Error> decide_mode(const CommandLine& command_line);

// Both steps together.
std::expected<Invocation, Error> parse_command_line(std::span<const std::string> arguments);

}  // namespace qm
