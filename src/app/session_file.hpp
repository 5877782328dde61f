#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.hpp"
#include "json/document_parser.hpp"

namespace qm {

// A session file must be smaller than this (32 MiB).
inline constexpr std::size_t session_size_limit = 33'554'432;
inline constexpr std::string_view session_schema = "quillmesh.terminal-session/1";
inline constexpr std::string_view session_size_message =
    "Session must be a regular file smaller than 32 MiB";
inline constexpr std::string_view session_schema_message = "Unsupported session schema";

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
  // Parses one JSON value (no schema test), as `DocumentParser::parse`.
  std::expected<DocumentPtr, Error> parse(std::string_view text);

 private:
  DocumentParser parser_;
};

// One load with a loader of its own.
std::expected<DocumentPtr, Error> load_session(const std::string& path);

// Succeeds when `document` is an object whose `schema` is the supported identifier.
std::expected<void, Error> check_schema(const Json& document);

// A file's last modification time, to the nanosecond.
// What tells one version of the session file from the next: its modification time, and which
// file the name holds, so another file renamed over it is a change even at the same time.
struct ModificationTime {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;

  auto operator<=>(const ModificationTime&) const = default;
};
// The modification time of `path` (links followed), or none when its metadata cannot be read.
std::optional<ModificationTime> modification_time(const std::string& path);

}  // namespace qm
