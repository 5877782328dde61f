#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/error.hpp"
#include "app/core/json/json.hpp"

namespace qm {

// A session file must be smaller than this (32 MiB).
inline constexpr std::size_t session_size_limit = 33'554'432;
// Arrays and objects may nest this deep; one level more is refused as a syntax error.
inline constexpr std::size_t session_depth_limit = 128;
inline constexpr std::string_view session_schema = "quillmesh.terminal-session/1";
inline constexpr std::string_view session_size_message =
    "Session must be a regular file smaller than 32 MiB";
inline constexpr std::string_view session_schema_message = "Unsupported session schema";

// A reusable buffer for the bytes of a document, with the spare room after them that the parser
// reads past the end in wide blocks. Big buffers come from the kernel, advised as huge pages.
class ReadBuffer {
 public:
  ReadBuffer() = default;
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;
  ~ReadBuffer();

  std::string_view text() const { return {data_, size_}; }
  std::size_t size() const { return size_; }
  char* data() { return data_; }
  // Makes room for `capacity` bytes plus the padding, keeping the first `size()` bytes.
  void reserve(std::size_t capacity);
  std::size_t capacity() const { return capacity_; }
  void set_size(std::size_t size);

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t mapped_ = 0;
};

// Reads `descriptor` to its end into `buffer`, never more than `limit` bytes; fails with the
// size message when `limit` bytes or more arrive. `expected_size` is a hint for the first
// allocation.
std::expected<void, Error> read_document_bytes(int descriptor, std::size_t expected_size,
                                               ReadBuffer& buffer,
                                               std::size_t limit = session_size_limit);

// Loads session documents. It keeps its parser and read buffer from one load to the next, so a
// reload reuses their memory instead of asking the system again.
class SessionLoader {
 public:
  SessionLoader();
  SessionLoader(SessionLoader&&) noexcept;
  SessionLoader& operator=(SessionLoader&&) noexcept;
  ~SessionLoader();

  // Reads, validates and parses the session document at `path` (links are followed). Fails with
  // the operating-system error, the size message, a JSON syntax error or the schema message.
  std::expected<DocumentPtr, Error> load(const std::string& path);
  // Parses one JSON value (no schema test). Syntax errors and documents nested deeper than
  // `session_depth_limit` fail with a JSON syntax error carrying line and column.
  std::expected<DocumentPtr, Error> parse(std::string_view text);

 private:
  struct Parts;
  std::expected<DocumentPtr, Error> parse_buffer();
  std::unique_ptr<Parts> parts_;
};

// One load with a loader of its own.
std::expected<DocumentPtr, Error> load_session(const std::string& path);
std::expected<DocumentPtr, Error> parse_document(std::string_view text);

// Succeeds when `document` is an object whose `schema` is the supported identifier.
std::expected<void, Error> check_schema(const Json& document);

// A file's last modification time, to the nanosecond.
struct ModificationTime {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;

  auto operator<=>(const ModificationTime&) const = default;
};
// The modification time of `path` (links followed), or none when its metadata cannot be read.
std::optional<ModificationTime> modification_time(const std::string& path);

}  // namespace qm
