#include "term/posix_backend.hpp"

#include <sys/ioctl.h>

#include <cerrno>

#include "term/posix_io.hpp"

namespace tui {

std::expected<Size, std::error_code> window_size(int fd) {
  winsize window{};
  if (::ioctl(fd, TIOCGWINSZ, &window) != 0) {
    return std::unexpected(std::error_code(errno, std::system_category()));
  }
  if (window.ws_col == 0 || window.ws_row == 0) {
    return Size{80, 24};
  }
  return Size{window.ws_col, window.ws_row};
}

std::expected<void, std::error_code> PosixOutputBackend::write(std::string_view bytes) {
  const int error = write_all(output_fd_, bytes.data(), bytes.size());
  if (error != 0) {
    return std::unexpected(std::error_code(error, std::system_category()));
  }
  return {};
}

std::expected<Size, std::error_code> PosixOutputBackend::size() {
  return window_size(size_fd_);
}

}  // namespace tui
