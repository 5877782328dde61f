#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qm::demo {

// What one poll of the request channel found.
struct ReadResult {
  std::vector<std::string> lines;  // complete lines, without their line feeds
  std::size_t overlong = 0;        // lines dropped for passing the length limit
};

// Follows the request channel: each poll reads only the bytes appended since the last one and
// hands back the lines completed by a line feed. A partial last line waits for its line feed.
// A channel that shrinks or is replaced by another file is read again from its start.
class RequestReader {
 public:
  // The viewer stops appending at 1 MiB, so no honest line is longer.
  static constexpr std::size_t max_line_bytes = 1024 * 1024;

  explicit RequestReader(std::filesystem::path path) : path_(std::move(path)) {}

  ReadResult poll();

  std::uint64_t offset() const { return offset_; }

 private:
  void take(const char* data, std::size_t size, ReadResult& result);

  std::filesystem::path path_;
  std::uint64_t offset_ = 0;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::string pending_;
  bool discarding_ = false;  // inside a line that passed the limit, until its line feed
};

}  // namespace qm::demo
