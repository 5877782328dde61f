#include "atomic_writer.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qm::demo {

namespace {

std::string failure(std::string_view what, const std::filesystem::path& path, int code) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(code);
}

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::expected<void, std::string> write_atomically(const std::filesystem::path& path,
                                                  std::string_view text) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  // A hidden name in the same folder, so the rename never crosses file systems.
  const std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    return std::unexpected(failure("cannot create a file beside", path, errno));
  }
  const std::filesystem::path temporary(name.data());
  auto abandon = [&](std::string_view what) {
    const int code = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return std::unexpected(failure(what, temporary, code));
  };
  // mkstemp creates the file private to its owner; the document is meant to be read.
  if (::fchmod(fd, 0644) != 0) {
    return abandon("cannot set the mode of");
  }
  if (!write_all(fd, text)) {
    return abandon("cannot write");
  }
  if (::fsync(fd) != 0) {
    return abandon("cannot flush");
  }
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    return std::unexpected(failure("cannot close", temporary, code));
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    return std::unexpected(failure("cannot rename over", path, code));
  }
  return {};
}

}  // namespace qm::demo
