#pragma once

#include <expected>
#include <string_view>
#include <system_error>

#include "tui/backend.hpp"
#include "tui/geometry.hpp"

namespace tui {

// The window size of terminal `fd` in cells. A terminal that reports no size counts as 80x24.
std::expected<Size, std::error_code> window_size(int fd);

// Frames written straight to a file descriptor (normally standard output), with the size of the
// terminal `size_fd`. Nothing is held back, so a failure shows at the write that caused it.
class PosixOutputBackend final : public OutputBackend {
 public:
  PosixOutputBackend(int output_fd, int size_fd) : output_fd_(output_fd), size_fd_(size_fd) {}

  // Writes all of `bytes`, retrying after interruptions and short writes.
  std::expected<void, std::error_code> write(std::string_view bytes) override;
  // Nothing is queued, so there is nothing to do.
  std::expected<void, std::error_code> flush() override { return {}; }
  std::expected<Size, std::error_code> size() override;

 private:
  int output_fd_;
  int size_fd_;
};

}  // namespace tui
