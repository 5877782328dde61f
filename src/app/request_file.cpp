#include "app/request_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/error.hpp"

namespace qm {

namespace {

std::unexpected<std::string> os_failure(int code) {
  return std::unexpected(plain_error_text(Error::os(code)));
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (descriptor_ >= 0) {
      ::close(descriptor_);
    }
  }
  int get() const { return descriptor_; }
  // Closes now, for the error of the close itself.
  int close() { return ::close(std::exchange(descriptor_, -1)); }

 private:
  int descriptor_;
};

}  // namespace

std::expected<void, std::string> RequestFile::append(std::string_view line) {
  // Never blocking and never taking a controlling terminal, so that a FIFO or a device put
  // where the channel should be cannot stall the viewer; anything but a regular file is refused.
  const int opened = ::open(
      path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (opened < 0) {
    return os_failure(errno);
  }
  Descriptor fd(opened);
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    return os_failure(errno);
  }
  if (!S_ISREG(info.st_mode)) {
    return std::unexpected("Request channel must be a regular file");
  }
  const auto size_before = static_cast<std::size_t>(info.st_size);
  if (size_before + line.size() > request_channel_limit) {
    return std::unexpected("Request channel reached 1 MiB; reopen this session to reset it");
  }
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(fd.get(), line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      // The channel never keeps part of a line: the next line would be glued to it and the
      // backend would lose both.
      const int code = n < 0 ? errno : ENOSPC;
      if (::ftruncate(fd.get(), static_cast<off_t>(size_before)) != 0) {
        // The write's error is the one to report; the cut is all that can be tried.
      }
      return os_failure(code);
    }
    written += static_cast<std::size_t>(n);
  }
  if (fd.close() != 0 && errno != EINTR) {
    return os_failure(errno);
  }
  return {};
}

}  // namespace qm
