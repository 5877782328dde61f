#include "app/folder_notice.hpp"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <utility>

namespace qm {

namespace {

// A file created in place is looked at when its writer closes it, not while it is still empty;
// a link made under the name is found by the poll.
constexpr std::uint32_t watched_changes = IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE | IN_MOVED_FROM |
                                          IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// A rename over the file gives it a new inode, which the modification-time check sees, so only a
// write in place, which may have been caught halfway, forces a reload.
constexpr std::uint32_t rewrites = IN_CLOSE_WRITE;
// The folder itself went away or moved: the name may now mean another file.
constexpr std::uint32_t folder_changes = IN_DELETE_SELF | IN_MOVE_SELF;

FileNotice stronger(FileNotice a, FileNotice b) {
  return std::max(a, b);
}

}  // namespace

FolderNotice FolderNotice::watch(const std::string& path) {
  const std::filesystem::path file(path);
  std::string name = file.filename().string();
  if (name.empty()) {
    return {};
  }
  const std::filesystem::path parent = file.parent_path();
  const std::string folder = parent.empty() ? std::string(".") : parent.string();
  const int descriptor = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (descriptor < 0) {
    return {};
  }
  if (::inotify_add_watch(descriptor, folder.c_str(), watched_changes) < 0) {
    ::close(descriptor);
    return {};
  }
  return FolderNotice(descriptor, std::move(name));
}

FolderNotice::FolderNotice(int descriptor, std::string name)
    : descriptor_(descriptor), name_(std::move(name)) {}

FolderNotice::FolderNotice(FolderNotice&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), name_(std::move(other.name_)) {}

FolderNotice& FolderNotice::operator=(FolderNotice&& other) noexcept {
  if (this != &other) {
    close();
    descriptor_ = std::exchange(other.descriptor_, -1);
    name_ = std::move(other.name_);
  }
  return *this;
}

FolderNotice::~FolderNotice() {
  close();
}

void FolderNotice::close() noexcept {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
  descriptor_ = -1;
}

FileNotice FolderNotice::drain() {
  FileNotice seen = FileNotice::none;
  // Room for many notices per read; one always fits.
  alignas(inotify_event) std::array<char, 16 * (sizeof(inotify_event) + NAME_MAX + 1)> bytes;
  while (descriptor_ >= 0) {
    const ssize_t count = ::read(descriptor_, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    }
    if (count <= 0) {
      // Polling finds whatever happened from now on.
      close();
      return stronger(seen, FileNotice::touched);
    }
    for (std::size_t at = 0; at + sizeof(inotify_event) <= static_cast<std::size_t>(count);) {
      inotify_event event;
      std::memcpy(&event, bytes.data() + at, sizeof event);
      const char* name = bytes.data() + at + sizeof(inotify_event);
      at += sizeof(inotify_event) + event.len;
      if ((event.mask & IN_Q_OVERFLOW) != 0) {
        seen = FileNotice::rewritten;
      } else if ((event.mask & IN_IGNORED) != 0) {
        // The watch is gone with its folder; nothing more will come.
        close();
        return stronger(seen, FileNotice::touched);
      } else if ((event.mask & folder_changes) != 0) {
        seen = stronger(seen, FileNotice::touched);
      } else if (event.len > 0 && name_ == name) {
        seen = stronger(seen,
                        (event.mask & rewrites) != 0 ? FileNotice::rewritten : FileNotice::touched);
      }
    }
  }
  return seen;
}

}  // namespace qm
