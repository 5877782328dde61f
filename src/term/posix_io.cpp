#include "term/posix_io.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tui {

int write_all(int fd, const char* data, std::size_t size) noexcept {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        // A descriptor shared with a non-blocking owner: wait a while for room.
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, 1000) > 0) {
          continue;
        }
        return EAGAIN;
      }
      return errno;
    }
    if (written == 0) {
      return EIO;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace tui
