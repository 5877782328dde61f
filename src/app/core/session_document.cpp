#include "app/core/session_document.hpp"

#include <fcntl.h>
#include <simdjson.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "tui/unicode.hpp"

namespace qm {

namespace {

constexpr std::size_t padding = simdjson::SIMDJSON_PADDING;
constexpr std::string_view recursion_message = "recursion limit exceeded";

std::unexpected<Error> size_failure() {
  return std::unexpected(Error::message(std::string(session_size_message)));
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

// --- Building the tree from the fast parser's result -------------------------------------------

void build_value(Json& target, simdjson::dom::element element) {
  using simdjson::dom::element_type;
  switch (element.type()) {
    case element_type::ARRAY: {
      const simdjson::dom::array array = element.get_array().value_unsafe();
      target = Json(Json::value_t::array);
      auto& items = target.get_ref<Json::array_t&>();
      items.reserve(array.size());
      for (simdjson::dom::element child : array) {
        build_value(items.emplace_back(), child);
      }
      return;
    }
    case element_type::OBJECT: {
      const simdjson::dom::object object = element.get_object().value_unsafe();
      target = Json(Json::value_t::object);
      auto& members = target.get_ref<Json::object_t&>();
      for (const simdjson::dom::key_value_pair field : object) {
        // Keys mostly arrive sorted, so the end hint makes each insertion constant time; a
        // repeated key finds its earlier member, whose value the later one replaces.
        const auto slot = members.try_emplace(members.end(), std::string(field.key));
        build_value(slot->second, field.value);
      }
      return;
    }
    case element_type::INT64: {
      const std::int64_t value = element.get_int64().value_unsafe();
      if (value >= 0) {
        target = static_cast<std::uint64_t>(value);
      } else {
        target = value;
      }
      return;
    }
    case element_type::UINT64:
      target = element.get_uint64().value_unsafe();
      return;
    case element_type::DOUBLE:
      target = element.get_double().value_unsafe();
      return;
    case element_type::STRING: {
      const std::string_view text = element.get_string().value_unsafe();
      target = std::string(text);
      return;
    }
    case element_type::BOOL:
      target = element.get_bool().value_unsafe();
      return;
    case element_type::NULL_VALUE:
      target = nullptr;
      return;
  }
}

// --- Errors of documents the fast parser refuses -----------------------------------------------

struct SyntaxFault {
  std::size_t offset;  // of the offending character; the text's size at its end
  std::string message;
};

// Accepts every event, builds nothing, and keeps the first error.
struct FaultFinder {
  std::optional<SyntaxFault> fault;
  std::size_t depth = 0;

  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(Json::number_integer_t) { return true; }
  bool number_unsigned(Json::number_unsigned_t) { return true; }
  bool number_float(Json::number_float_t, const Json::string_t&) { return true; }
  bool string(Json::string_t&) { return true; }
  bool binary(Json::binary_t&) { return true; }
  // Stops at the first level too deep: no error can come before it that was not reported yet.
  bool start_object(std::size_t) { return ++depth <= session_depth_limit; }
  bool key(Json::string_t&) { return true; }
  bool end_object() {
    --depth;
    return true;
  }
  bool start_array(std::size_t) { return ++depth <= session_depth_limit; }
  bool end_array() {
    --depth;
    return true;
  }
  bool parse_error(std::size_t characters_read, const std::string&,
                   const nlohmann::detail::exception& exception) {
    fault = SyntaxFault{characters_read == 0 ? 0 : characters_read - 1,
                        parser_message(exception.what())};
    return false;
  }

  // Drops the library's "[json.exception…] parse error at line L, column C: " lead; the line
  // and column are computed again from the offset, counted in characters.
  static std::string parser_message(std::string_view what) {
    if (what.starts_with("[json.exception.")) {
      const std::size_t end = what.find("] ");
      if (end != std::string_view::npos) {
        what.remove_prefix(end + 2);
      }
    }
    if (what.starts_with("parse error")) {
      const std::size_t end = what.find(": ");
      if (end != std::string_view::npos) {
        what.remove_prefix(end + 2);
      }
    }
    // Keeps the message valid UTF-8 even when it quotes a bad byte of the input.
    std::string text;
    text.reserve(what.size());
    for (std::size_t offset = 0; offset < what.size();) {
      const tui::DecodedChar decoded = tui::decode_utf8(what, offset);
      tui::append_utf8(text, decoded.value);
      offset += decoded.length;
    }
    return text;
  }
};

std::optional<SyntaxFault> first_syntax_fault(std::string_view text) {
  FaultFinder finder;
  Json::sax_parse(text.begin(), text.end(), &finder);
  return finder.fault;
}

// The offset of the first opening bracket one level deeper than allowed. Only the part before the
// first syntax error is meaningful, which is all the caller uses.
std::optional<std::size_t> excess_nesting_offset(std::string_view text) {
  std::size_t depth = 0;
  bool in_string = false;
  for (std::size_t offset = 0; offset < text.size(); ++offset) {
    const char c = text[offset];
    if (in_string) {
      if (c == '\\') {
        ++offset;
      } else if (c == '"') {
        in_string = false;
      }
      continue;
    }
    if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > session_depth_limit) {
        return offset;
      }
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return std::nullopt;
}

Error syntax_error_at(std::string_view text, std::size_t offset, std::string message) {
  offset = std::min(offset, text.size());
  std::size_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  // Characters of the line before the one that holds `offset`.
  std::size_t characters = 0;
  std::size_t position = line_start;
  while (position < text.size()) {
    const std::size_t length = tui::decode_utf8(text, position).length;
    if (position + length > offset) {
      break;
    }
    position += length;
    ++characters;
  }
  const std::size_t column = offset < text.size() ? characters + 1 : characters;
  return Error::json_syntax(std::move(message), line, column);
}

// The careful path: finds the first error with its place, and loads the rare valid document the
// fast parser cannot hold (such as an integer beyond 64 bits).
std::expected<Json, Error> parse_refused_document(std::string_view text) {
  const std::optional<std::size_t> too_deep = excess_nesting_offset(text);
  std::optional<SyntaxFault> fault = first_syntax_fault(text);
  // The library's parser takes a NUL byte between tokens for the end of the input.
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos && (!fault || fault->offset >= nul) &&
      !(fault && fault->message.find("U+0000") != std::string::npos)) {
    fault = SyntaxFault{nul, "syntax error while parsing value - unexpected character U+0000"};
  }
  if (fault && (!too_deep || fault->offset <= *too_deep)) {
    return std::unexpected(syntax_error_at(text, fault->offset, std::move(fault->message)));
  }
  if (too_deep) {
    return std::unexpected(syntax_error_at(text, *too_deep, std::string(recursion_message)));
  }
  Json document = Json::parse(text.begin(), text.end(), nullptr, false);
  if (document.is_discarded()) {
    return std::unexpected(syntax_error_at(text, text.size(), "invalid document"));
  }
  return document;
}

}  // namespace

std::expected<DocumentBytes, Error> read_document_bytes(int descriptor, std::size_t expected_size,
                                                        std::size_t limit) {
  // One byte beyond the expected size lets the final read see the end without growing.
  std::size_t capacity = std::min(limit, expected_size + 1);
  DocumentBytes bytes{std::make_unique_for_overwrite<char[]>(capacity + padding), 0};
  for (;;) {
    if (bytes.size == capacity) {
      if (capacity >= limit) {
        return size_failure();
      }
      capacity = std::min(limit, std::max<std::size_t>(capacity * 2, 4096));
      auto grown = std::make_unique_for_overwrite<char[]>(capacity + padding);
      std::memcpy(grown.get(), bytes.storage.get(), bytes.size);
      bytes.storage = std::move(grown);
    }
    const ssize_t count =
        ::read(descriptor, bytes.storage.get() + bytes.size, capacity - bytes.size);
    if (count == 0) {
      break;
    }
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return std::unexpected(Error::os(errno));
    }
    bytes.size += static_cast<std::size_t>(count);
  }
  std::memset(bytes.storage.get() + bytes.size, 0, padding);
  return bytes;
}

std::expected<Json, Error> parse_document(DocumentBytes bytes) {
  // A raw NUL byte is never valid JSON, yet the fast parser lets one pass after a number.
  if (std::memchr(bytes.storage.get(), '\0', bytes.size) != nullptr) {
    return parse_refused_document(bytes.text());
  }
  simdjson::dom::parser parser;
  if (parser.allocate(std::max<std::size_t>(bytes.size, 64), session_depth_limit) !=
      simdjson::SUCCESS) {
    return parse_refused_document(bytes.text());
  }
  const simdjson::simdjson_result<simdjson::dom::element> parsed =
      parser.parse(bytes.storage.get(), bytes.size, false);
  if (parsed.error() != simdjson::SUCCESS) {
    return parse_refused_document(bytes.text());
  }
  // The parser holds its own copy of every string, so the bytes can go before the tree grows.
  bytes.storage.reset();
  Json document;
  build_value(document, parsed.value_unsafe());
  return document;
}

std::expected<Json, Error> parse_document(std::string_view text) {
  DocumentBytes bytes{std::make_unique_for_overwrite<char[]>(text.size() + padding), text.size()};
  std::memcpy(bytes.storage.get(), text.data(), text.size());
  std::memset(bytes.storage.get() + text.size(), 0, padding);
  return parse_document(std::move(bytes));
}

std::expected<void, Error> check_schema(const Json& document) {
  if (!is_string_equal(member(document, "schema"), session_schema)) {
    return std::unexpected(Error::message(std::string(session_schema_message)));
  }
  return {};
}

std::expected<Json, Error> load_session(const std::string& path) {
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
  auto bytes = read_document_bytes(
      descriptor.get(), static_cast<std::size_t>(std::max<off_t>(opened_metadata.st_size, 0)));
  if (!bytes) {
    return std::unexpected(std::move(bytes.error()));
  }
  auto document = parse_document(std::move(*bytes));
  if (!document) {
    return document;
  }
  if (auto schema = check_schema(*document); !schema) {
    return std::unexpected(std::move(schema.error()));
  }
  return document;
}

std::optional<ModificationTime> modification_time(const std::string& path) {
  struct stat metadata {};
  if (::stat(path.c_str(), &metadata) != 0) {
    return std::nullopt;
  }
  return ModificationTime{static_cast<std::int64_t>(metadata.st_mtim.tv_sec),
                          static_cast<std::int64_t>(metadata.st_mtim.tv_nsec)};
}

}  // namespace qm
