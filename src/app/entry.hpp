#pragma once

#include <cstdio>
#include <expected>
#include <optional>
#include <span>
#include <string>

#include "app/session_file.hpp"
#include "base/error.hpp"
#include "json/json_access.hpp"

namespace qm {

// Everything the interactive viewer starts from, gathered before the terminal is touched.
struct ViewerStart {
  DocumentPtr document;
  // The loader that read it, kept for the reloads.
  SessionLoader loader;
  std::string session_path;
  std::optional<std::string> requests_path;
  bool truecolour = false;
  bool no_color = false;
  // The reference for change detection; none when the file's metadata could not be read.
  std::optional<ModificationTime> modified;
};

// Builds the session model and the initial state from `start`, enters the terminal and runs the
// loop until the user quits; returns the exit status (0 or 77).
std::expected<int, Error> run_viewer(ViewerStart start);

// The whole program: `arguments` are those after the program name. Writes the usage text to
// `out` and a failure as one "Error: …" line to `err`; returns the exit status.
int run_program(std::span<const std::string> arguments, std::FILE* out, std::FILE* err);

}  // namespace qm
