#pragma once

#include <cstdio>
#include <expected>

#include "app/command_line.hpp"
#include "base/error.hpp"

namespace qm {

// Loads the session document and writes the view `mode` names to `out` as plain lines (styled
// only when asked), without touching the terminal; returns the exit status, 0.
std::expected<int, Error> print_session(const PrintMode& mode, std::FILE* out);

}  // namespace qm
