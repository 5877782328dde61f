#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/error.hpp"
#include "app/core/json_access.hpp"

namespace qm {

// A session file must be smaller than this (32 MiB).
inline constexpr std::size_t session_size_limit = 33'554'432;
// Arrays and objects may nest this deep; one level more is refused as a syntax error.
inline constexpr std::size_t session_depth_limit = 128;
inline constexpr std::string_view session_schema = "quillmesh.terminal-session/1";
inline constexpr std::string_view session_size_message =
    "Session must be a regular file smaller than 32 MiB";
inline constexpr std::string_view session_schema_message = "Unsupported session schema";

// The bytes of a document followed by spare room, as the parser reads past the end in wide
// blocks.
struct DocumentBytes {
  std::unique_ptr<char[]> storage;
  std::size_t size = 0;

  std::string_view text() const { return {storage.get(), size}; }
};

// Reads, validates and parses the session document at `path` (links are followed). Fails with
// the operating-system error, the size message, a JSON syntax error or the schema message.
std::expected<Json, Error> load_session(const std::string& path);

// Reads `descriptor` to its end, never more than `limit` bytes; fails with the size message when
// `limit` bytes or more arrive. `expected_size` is a hint for the first allocation.
std::expected<DocumentBytes, Error> read_document_bytes(int descriptor, std::size_t expected_size,
                                                        std::size_t limit = session_size_limit);

// Parses one JSON value (no schema test). Syntax errors and documents nested deeper than
// `session_depth_limit` fail with a JSON syntax error carrying line and column.
std::expected<Json, Error> parse_document(DocumentBytes bytes);
// The same for plain text (copies it once).
std::expected<Json, Error> parse_document(std::string_view text);

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
