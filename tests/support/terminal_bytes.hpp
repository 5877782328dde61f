#pragma once

#include <string>

#include "tui/sequences.hpp"

namespace qm::testing {

// What entering the terminal writes: the alternate screen, then mouse capture.
inline const std::string enter_bytes =
    std::string(tui::alternate_screen_on) + std::string(tui::mouse_capture_on);
// What the restore sequence writes: out of the alternate screen, mouse off, cursor shown.
inline const std::string restore_bytes = std::string(tui::alternate_screen_off) +
                                         std::string(tui::mouse_capture_off) +
                                         std::string(tui::show_cursor_sequence);

}  // namespace qm::testing
