#pragma once

#include <expected>
#include <string_view>
#include <system_error>

#include "tui/geometry.hpp"

namespace tui {

// Where a terminal's frames go: a byte sink with a window size.
class OutputBackend {
 public:
  virtual ~OutputBackend() = default;

  // Queues `bytes` for output (a backend may write them at once or keep them until `flush`).
  virtual std::expected<void, std::error_code> write(std::string_view bytes) = 0;
  // Hands every queued byte to the terminal.
  virtual std::expected<void, std::error_code> flush() = 0;
  // The terminal's window size in cells.
  virtual std::expected<Size, std::error_code> size() = 0;
};

}  // namespace tui
