#pragma once

#include <string>

namespace qm {

// What the notices read at once said of the watched file.
enum class FileNotice {
  // Nothing about the file.
  none,
  // Its name changed hands or its metadata changed: worth a look at its modification time.
  touched,
  // A writer closed it: its content is whole and may be new even at the same modification time.
  rewritten,
};

// The kernel's notices of changes to one file's entry in its folder, so a wait can end as soon
// as the file is replaced. Where the file system or the process's limits give no notices, the
// descriptor is -1 and the caller keeps polling.
class FolderNotice {
 public:
  FolderNotice() = default;
  // Watches the folder of `path` for changes to the entry named as its last component.
  static FolderNotice watch(const std::string& path);

  FolderNotice(FolderNotice&& other) noexcept;
  FolderNotice& operator=(FolderNotice&& other) noexcept;
  FolderNotice(const FolderNotice&) = delete;
  FolderNotice& operator=(const FolderNotice&) = delete;
  ~FolderNotice();

  // Readable when notices wait; -1 when there are none to wait for.
  int descriptor() const { return descriptor_; }
  // Reads every notice waiting, never blocking. Lost notices count as a rewrite. When the
  // folder's watch ends or reading fails, the descriptor closes and the caller falls back to
  // polling.
  FileNotice drain();

 private:
  FolderNotice(int descriptor, std::string name);
  void close() noexcept;

  int descriptor_ = -1;
  std::string name_;
};

}  // namespace qm
