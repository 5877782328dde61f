#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "session_generator.hpp"

namespace qm::soak {

struct WindowSize {
  unsigned short columns = 0;
  unsigned short rows = 0;
};

// What the driver does next: type bytes (keys or mouse reports) or resize the terminal.
struct InputAction {
  std::string bytes;
  std::optional<WindowSize> resize;
};

// The narrowest window the driver makes: the header still shows the update time.
inline constexpr WindowSize smallest_window{150, 24};
inline constexpr WindowSize largest_window{240, 70};

// A random key, SGR mouse report or resize within `window`. Never a key that quits, suspends,
// opens the palette, a form or the assistant: those could end the run or stop the keys from
// reaching the views.
InputAction random_input(bench::Sequence& random, WindowSize window);

}  // namespace qm::soak
