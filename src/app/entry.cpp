#include "app/entry.hpp"

#include <cstdlib>
#include <string_view>
#include <utility>
#include <variant>

#include "app/command_line.hpp"
#include "app/print_view.hpp"
#include "ui/styles.hpp"

namespace qm {

namespace {

int report_failure(const Error& error, std::FILE* err) {
  const std::string line = "Error: " + error_report(error) + "\n";
  std::fwrite(line.data(), 1, line.size(), err);
  std::fflush(err);
  return 1;
}

std::expected<int, Error> check_session(const CheckMode& mode) {
  auto document = load_session(mode.path);
  if (!document) {
    return std::unexpected(std::move(document.error()));
  }
  return 0;
}

std::expected<int, Error> start_viewer(ViewerMode mode) {
  ViewerStart start;
  auto document = start.loader.load(mode.session_path);
  if (!document) {
    return std::unexpected(std::move(document.error()));
  }
  start.document = std::move(*document);
  start.truecolour = truecolour_from_colorterm(std::getenv("COLORTERM"));
  start.no_color = no_color_from(std::getenv("NO_COLOR"));
  start.modified = modification_time(mode.session_path);
  start.session_path = std::move(mode.session_path);
  start.requests_path = std::move(mode.requests_path);
  return run_viewer(std::move(start));
}

}  // namespace

int run_program(std::span<const std::string> arguments, std::FILE* out, std::FILE* err) {
  auto mode = parse_command_line(arguments);
  if (!mode) {
    return report_failure(mode.error(), err);
  }
  std::expected<int, Error> status = 0;
  if (std::holds_alternative<HelpMode>(*mode)) {
    const std::string_view usage = usage_text();
    std::fwrite(usage.data(), 1, usage.size(), out);
    std::fflush(out);
  } else if (const auto* check = std::get_if<CheckMode>(&*mode)) {
    status = check_session(*check);
  } else if (const auto* print = std::get_if<PrintMode>(&*mode)) {
    status = print_session(*print, out);
  } else {
    status = start_viewer(std::get<ViewerMode>(std::move(*mode)));
  }
  if (!status) {
    return report_failure(status.error(), err);
  }
  return *status;
}

}  // namespace qm
