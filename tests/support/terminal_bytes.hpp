#pragma once

#include <string>
#include <vector>

#include "tui/sequences.hpp"

namespace qm::testing {

// What entering the terminal writes: the alternate screen, then mouse capture.
inline const std::string enter_bytes =
    std::string(tui::alternate_screen_on) + std::string(tui::mouse_capture_on);
// What the restore sequence writes: out of the alternate screen, mouse off, cursor shown.
inline const std::string restore_bytes = std::string(tui::alternate_screen_off) +
                                         std::string(tui::mouse_capture_off) +
                                         std::string(tui::show_cursor_sequence);

// Every parameter of every SGR sequence (ESC [ … m) in `bytes`; an empty one reads "0".
inline std::vector<std::string> sgr_parameters(const std::string& bytes) {
  std::vector<std::string> out;
  for (std::size_t at = bytes.find("\x1b["); at != std::string::npos;
       at = bytes.find("\x1b[", at + 1)) {
    const std::size_t end = bytes.find_first_not_of("0123456789;", at + 2);
    if (end == std::string::npos || bytes[end] != 'm')
      continue;
    std::string parameter;
    for (std::size_t i = at + 2; i <= end; ++i) {
      if (bytes[i] == ';' || i == end) {
        out.push_back(parameter.empty() ? "0" : parameter);
        parameter.clear();
      } else {
        parameter += bytes[i];
      }
    }
  }
  return out;
}

}  // namespace qm::testing
