#include "app/command_line.hpp"

#include "base/unicode.hpp"

namespace qm {

namespace {

// The argument with every invalid byte shown as U+FFFD.
std::string lossy_text(std::string_view text) {
  std::string out;
  for (std::size_t offset = 0; offset < text.size();) {
    const base::DecodedChar decoded = base::decode_utf8(text, offset);
    base::append_utf8(out, decoded.value);
    offset += decoded.length;
  }
  return out;
}

std::optional<std::string>* option_slot(CommandLine& command_line, std::string_view argument) {
  if (argument == "--session") {
    return &command_line.session_path;
  }
  if (argument == "--requests") {
    return &command_line.requests_path;
  }
  if (argument == "--check-session") {
    return &command_line.check_path;
  }
  if (argument == "--print") {
    return &command_line.print_view;
  }
  if (argument == "--select") {
    return &command_line.select_id;
  }
  if (argument == "--width") {
    return &command_line.width;
  }
  if (argument == "--color") {
    return &command_line.colour;
  }
  return nullptr;
}

// A width of plain decimal digits within the printable range.
std::optional<uint16_t> print_width_of(std::string_view text) {
  if (text.empty() || text.size() > 5) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value < limits::print_width_min || value > limits::print_width_max) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

std::expected<Invocation, Error> decide_print(const CommandLine& command_line) {
  if (command_line.requests_path) {
    return std::unexpected(Error::message("--print cannot be combined with --requests"));
  }
  PrintMode mode;
  mode.session_path = *command_line.session_path;
  const std::optional<View> view = view_named(*command_line.print_view);
  if (!view) {
    return std::unexpected(Error::message("Unknown view: " + *command_line.print_view));
  }
  mode.view = *view;
  mode.select_id = command_line.select_id;
  if (command_line.width) {
    const std::optional<uint16_t> width = print_width_of(*command_line.width);
    if (!width) {
      return std::unexpected(Error::message(
          "--width must be a whole number from " + std::to_string(limits::print_width_min) +
          " to " + std::to_string(limits::print_width_max) + ": " + *command_line.width));
    }
    mode.width = *width;
  }
  if (command_line.colour) {
    if (*command_line.colour != "always" && *command_line.colour != "never") {
      return std::unexpected(
          Error::message("--color must be always or never: " + *command_line.colour));
    }
    mode.colour = *command_line.colour == "always";
  }
  return mode;
}

}  // namespace

std::string_view usage_text() {
  return "quillmesh-terminal --session PATH [--requests PATH]\n"
         "quillmesh-terminal --check-session PATH\n"
         "quillmesh-terminal --session PATH --print VIEW [--select ID] [--width N] [--color "
         "always]\n"
         "Use quillmesh-tui workspace to create a validated session. 0\u20139 views, / search, ? "
         "help.\n";
}

std::expected<CommandLine, Error> scan_arguments(std::span<const std::string> arguments) {
  CommandLine command_line;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (!base::is_valid_utf8(argument)) {
      return std::unexpected(
          Error::message("Argument is not valid UTF-8: " + lossy_text(argument)));
    }
    if (argument == "-h" || argument == "--help") {
      command_line.help = true;
      return command_line;
    }
    std::optional<std::string>* slot = option_slot(command_line, argument);
    if (slot == nullptr) {
      return std::unexpected(Error::message("Unknown argument: " + argument));
    }
    if (index + 1 == arguments.size()) {
      slot->reset();
      break;
    }
    ++index;
    if (!base::is_valid_utf8(arguments[index])) {
      return std::unexpected(
          Error::message("Argument is not valid UTF-8: " + lossy_text(arguments[index])));
    }
    *slot = arguments[index];
  }
  return command_line;
}

std::expected<Invocation, Error> decide_mode(const CommandLine& command_line) {
  if (command_line.help) {
    return HelpMode{};
  }
  const bool print_options = command_line.print_view || command_line.select_id ||
                             command_line.width || command_line.colour;
  if (command_line.check_path) {
    if (command_line.session_path || command_line.requests_path || print_options) {
      return std::unexpected(Error::message("--check-session cannot be combined with UI options"));
    }
    return CheckMode{*command_line.check_path};
  }
  if (!command_line.session_path) {
    return std::unexpected(Error::message("--session PATH is required"));
  }
  if (command_line.print_view) {
    return decide_print(command_line);
  }
  if (print_options) {
    return std::unexpected(Error::message("--select, --width and --color need --print VIEW"));
  }
  return ViewerMode{*command_line.session_path, command_line.requests_path};
}

std::expected<Invocation, Error> parse_command_line(std::span<const std::string> arguments) {
  const auto command_line = scan_arguments(arguments);
  if (!command_line) {
    return std::unexpected(command_line.error());
  }
  return decide_mode(*command_line);
}

}  // namespace qm
