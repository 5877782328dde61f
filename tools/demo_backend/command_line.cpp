#include "command_line.hpp"

#include <charconv>
#include <string_view>

namespace qm::demo {

std::string usage_text() {
  return "Usage: quillmesh-demo-backend --session PATH --requests PATH [--seed N] [--quiet]\n"
         "       quillmesh-demo-backend --write-example PATH\n"
         "\n"
         "Simulates amr-07, a warehouse robot with a ROS 2 navigation stack, as a live backend of\n"
         "quillmesh-terminal: writes the session document to --session (replacing it whole on\n"
         "every change) and answers the request lines the viewer appends to --requests, which is\n"
         "emptied at start. Runs until SIGINT or SIGTERM.\n"
         "\n"
         "  --seed N         same simulation on every run (rates, dropouts, log, samples)\n"
         "  --quiet          the robot stands still: only requests change the document\n"
         "  --write-example  write the demo's static session document to PATH and exit\n";
}

std::expected<CommandLine, std::string> parse_command_line(std::span<const char* const> arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    auto value = [&]() -> std::expected<std::string_view, std::string> {
      if (i + 1 >= arguments.size()) {
        return std::unexpected(std::string(argument) + " needs a value");
      }
      return std::string_view(arguments[++i]);
    };
    if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--quiet") {
      line.quiet = true;
    } else if (argument == "--session" || argument == "--requests" ||
               argument == "--write-example" || argument == "--seed") {
      const auto text = value();
      if (!text) {
        return std::unexpected(text.error());
      }
      if (argument == "--session") {
        line.session = *text;
      } else if (argument == "--requests") {
        line.requests = *text;
      } else if (argument == "--write-example") {
        line.write_example = std::filesystem::path(*text);
      } else {
        std::uint64_t seed = 0;
        const auto parsed = std::from_chars(text->data(), text->data() + text->size(), seed);
        if (parsed.ec != std::errc() || parsed.ptr != text->data() + text->size()) {
          return std::unexpected("--seed needs a non-negative integer");
        }
        line.seed = seed;
      }
    } else {
      return std::unexpected("unknown argument " + std::string(argument));
    }
  }
  if (line.help || line.write_example) {
    return line;
  }
  if (line.session.empty() || line.requests.empty()) {
    return std::unexpected("--session PATH and --requests PATH are required");
  }
  return line;
}

}  // namespace qm::demo
