#include "app/session_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "base/unicode.hpp"

namespace qm {

namespace {

std::unexpected<Error> size_failure() {
  return std::unexpected(Error::message(std::string(session_size_message)));
}

std::unexpected<Error> out_of_memory() {
  return std::unexpected(Error::os(ENOMEM));
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { ::close(descriptor_); }
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

}  // namespace

std::expected<void, Error> read_document_bytes(int descriptor, std::size_t expected_size,
                                               ReadBuffer& buffer, std::size_t limit) {
  // One byte beyond the expected size lets the final read see the end without growing.
  buffer.reserve(std::min(limit, expected_size + 1));
  std::size_t size = 0;
  for (;;) {
    const std::size_t room = std::min(buffer.capacity(), limit);
    if (size == room) {
      if (room >= limit) {
        buffer.set_size(0);
        return size_failure();
      }
      buffer.set_size(size);
      buffer.reserve(std::min(limit, std::max<std::size_t>(room * 2, 4096)));
    }
    const std::size_t wanted = std::min(buffer.capacity(), limit) - size;
    const ssize_t count = ::read(descriptor, buffer.data() + size, wanted);
    if (count == 0) {
      break;
    }
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      buffer.set_size(0);
      return std::unexpected(Error::os(errno));
    }
    size += static_cast<std::size_t>(count);
  }
  buffer.set_size(size);
  return {};
}

// --- Loader --------------------------------------------------------------------------------------

SessionLoader::SessionLoader() = default;
SessionLoader::SessionLoader(SessionLoader&&) noexcept = default;
SessionLoader& SessionLoader::operator=(SessionLoader&&) noexcept = default;
SessionLoader::~SessionLoader() = default;

std::expected<DocumentPtr, Error> SessionLoader::parse(std::string_view text) {
  return parser_.parse(text);
}

namespace {

// Reads the session file at `path` into `buffer`, refusing anything but a regular file under the
// size limit.
std::expected<void, Error> read_session_file(const std::string& path, ReadBuffer& buffer) {
  struct stat metadata {};
  if (::stat(path.c_str(), &metadata) != 0) {
    return std::unexpected(Error::os(errno));
  }
  if (!S_ISREG(metadata.st_mode) || metadata.st_size < 0 ||
      static_cast<std::uint64_t>(metadata.st_size) >= session_size_limit) {
    return size_failure();
  }
  // Non-blocking, so that a pipe put in the file's place meanwhile cannot stall the open.
  const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (opened < 0) {
    return std::unexpected(Error::os(errno));
  }
  const Descriptor descriptor(opened);
  struct stat opened_metadata {};
  if (::fstat(descriptor.get(), &opened_metadata) != 0) {
    return std::unexpected(Error::os(errno));
  }
  if (!S_ISREG(opened_metadata.st_mode)) {
    return size_failure();
  }
  return read_document_bytes(descriptor.get(),
                             static_cast<std::size_t>(std::max<off_t>(opened_metadata.st_size, 0)),
                             buffer);
}

}  // namespace

std::expected<DocumentPtr, Error> SessionLoader::load(const std::string& path) try {
  if (auto read = read_session_file(path, parser_.buffer()); !read) {
    return std::unexpected(std::move(read.error()));
  }
  // Read again only for a text the fast path gives up on; a text changed meanwhile is loaded
  // as it now stands.
  auto document =
      parser_.parse_buffer([&path](ReadBuffer& buffer) { return read_session_file(path, buffer); });
  if (!document) {
    return document;
  }
  if (auto schema = check_schema((*document)->root); !schema) {
    return std::unexpected(std::move(schema.error()));
  }
  return document;
} catch (const std::bad_alloc&) {
  return out_of_memory();
}

std::expected<DocumentPtr, Error> load_session(const std::string& path) {
  return SessionLoader().load(path);
}

std::expected<void, Error> check_schema(const Json& document) {
  const Json* schema = document.find("schema");
  if (schema == nullptr || !schema->is_string() || schema->string() != session_schema) {
    return std::unexpected(Error::message(std::string(session_schema_message)));
  }
  return {};
}

std::optional<ModificationTime> modification_time(const std::string& path) {
  struct stat metadata {};
  if (::stat(path.c_str(), &metadata) != 0) {
    return std::nullopt;
  }
  return ModificationTime{static_cast<std::int64_t>(metadata.st_mtim.tv_sec),
                          static_cast<std::int64_t>(metadata.st_mtim.tv_nsec),
                          static_cast<std::uint64_t>(metadata.st_ino),
                          static_cast<std::int64_t>(metadata.st_size)};
}

}  // namespace qm
