#include "request_reader.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace qm::demo {

ReadResult RequestReader::poll() {
  ReadResult result;
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return result;  // not created yet, or removed for a reset: wait for it
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return result;
  }
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (status.st_dev != device_ || status.st_ino != inode_ || size < offset_) {
    // Another file, or this one was truncated: its lines start again at the beginning.
    device_ = status.st_dev;
    inode_ = status.st_ino;
    offset_ = 0;
    pending_.clear();
    discarding_ = false;
  }
  std::array<char, 64 * 1024> buffer{};
  while (offset_ < size) {
    const std::size_t wanted = std::min<std::uint64_t>(buffer.size(), size - offset_);
    const ssize_t got = ::pread(fd, buffer.data(), wanted, static_cast<off_t>(offset_));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    offset_ += static_cast<std::uint64_t>(got);
    take(buffer.data(), static_cast<std::size_t>(got), result);
  }
  ::close(fd);
  return result;
}

void RequestReader::take(const char* data, std::size_t size, ReadResult& result) {
  std::string_view rest(data, size);
  while (!rest.empty()) {
    const std::size_t feed = rest.find('\n');
    const std::string_view piece = rest.substr(0, feed);
    if (!discarding_) {
      pending_.append(piece);
      if (pending_.size() > max_line_bytes) {
        pending_.clear();
        discarding_ = true;
        ++result.overlong;
      }
    }
    if (feed == std::string_view::npos) {
      return;
    }
    if (!discarding_) {
      result.lines.push_back(std::move(pending_));
    }
    pending_.clear();
    discarding_ = false;
    rest.remove_prefix(feed + 1);
  }
}

}  // namespace qm::demo
