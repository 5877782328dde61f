#pragma once

#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace qm::demo {

struct CommandLine {
  std::filesystem::path session;
  std::filesystem::path requests;
  std::optional<std::filesystem::path> write_example;
  std::optional<std::uint64_t> seed;
  bool quiet = false;
  bool help = false;
};

// The arguments after the program name. The error is a message for the user.
std::expected<CommandLine, std::string> parse_command_line(std::span<const char* const> arguments);

std::string usage_text();

}  // namespace qm::demo
