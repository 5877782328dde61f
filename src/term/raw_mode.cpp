#include "term/raw_mode.hpp"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "term/restore.hpp"

namespace tui {
namespace {

struct SavedSettings {
  int fd = -1;
  ::termios settings{};
};

std::optional<SavedSettings> saved;
int opened_tty = -1;

std::error_code last_error() {
  return std::error_code(errno, std::system_category());
}

}  // namespace

std::expected<int, std::error_code> controlling_terminal() {
  if (::isatty(STDIN_FILENO) == 1) {
    return STDIN_FILENO;
  }
  if (opened_tty < 0) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      return std::unexpected(last_error());
    }
    opened_tty = fd;
  }
  return opened_tty;
}

std::expected<void, std::error_code> enable_raw_mode() {
  const auto fd = saved ? std::expected<int, std::error_code>(saved->fd) : controlling_terminal();
  if (!fd) {
    return std::unexpected(fd.error());
  }
  ::termios original{};
  if (saved) {
    original = saved->settings;
  } else if (::tcgetattr(*fd, &original) != 0) {
    return std::unexpected(last_error());
  }
  if (auto pushed = push_restore_settings(*fd, original); !pushed) {
    return pushed;
  }
  saved = SavedSettings{*fd, original};
  ::termios raw = original;
  ::cfmakeraw(&raw);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXOFF);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(*fd, TCSANOW, &raw) != 0) {
    return std::unexpected(last_error());
  }
  return {};
}

std::expected<void, std::error_code> disable_raw_mode() {
  if (!saved) {
    return {};
  }
  if (::tcsetattr(saved->fd, TCSANOW, &saved->settings) != 0) {
    return std::unexpected(last_error());
  }
  return {};
}

}  // namespace tui
