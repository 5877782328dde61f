#pragma once

#include <string_view>

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// What became of one request line.
enum class LineOutcome {
  blank,      // nothing but white space: ignored
  answered,   // a known action, handled
  malformed,  // not a JSON object with a text `action`: skipped and counted
  unknown,    // an action the backend does not know: skipped and counted
};

// Reads one request line and answers it. Skipped lines are counted in the notice; no line,
// however malformed, stops the backend.
LineOutcome handle_request_line(DemoState& state, std::string_view line, const Instant& now);

// Counts lines that were dropped before they could be read (too long).
void note_skipped_lines(DemoState& state, std::size_t count);

}  // namespace qm::demo
