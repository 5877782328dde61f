#include "json/document_parser.hpp"

#include <simdjson.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "base/unicode.hpp"
#include "json/index_walk.hpp"

namespace qm {

namespace {

static_assert(ReadBuffer::padding >= simdjson::SIMDJSON_PADDING);
constexpr std::string_view recursion_message = "recursion limit exceeded";
constexpr std::size_t page = 4096;
// Buffers at least this large are advised as huge pages.
constexpr std::size_t huge_page_worthy = std::size_t{4} << 20;

std::unexpected<Error> out_of_memory() {
  return std::unexpected(Error::os(ENOMEM));
}

std::size_t round_up(std::size_t value, std::size_t multiple) {
  return (value + multiple - 1) / multiple * multiple;
}

// Gives `advice` for the whole pages inside [start, start + size), never for the page that holds
// the memory's start, where the allocator keeps its own records.
void advise_whole_pages(const void* start, std::size_t size, int advice) {
  const auto first = round_up(reinterpret_cast<std::uintptr_t>(start), page);
  const auto last = (reinterpret_cast<std::uintptr_t>(start) + size) / page * page;
  if (last > first) {
    ::madvise(reinterpret_cast<void*>(first), last - first, advice);
  }
}

void advise_huge_pages(const void* start, std::size_t size) {
  if (size >= huge_page_worthy) {
    advise_whole_pages(start, size, MADV_HUGEPAGE);
  }
}

// Gives pages back to the kernel. The mapping stays, so the next document that needs them gets
// fresh zeroed pages.
void release_pages(const void* start, std::size_t size) {
  advise_whole_pages(start, size, MADV_DONTNEED);
}

// Builds the tree from the careful parser's events, for the rare document the fast parser cannot
// hold (an integer beyond 64 bits). Containers collect their children on one shared stack.
class EventTreeBuilder {
 public:
  explicit EventTreeBuilder(JsonArena& arena) : arena_(arena) {}

  Json root() const { return values_.empty() ? Json() : values_.front(); }

  bool null() { return push(Json()); }
  bool boolean(bool value) { return push(Json::from_bool(value)); }
  bool number_integer(nlohmann::json::number_integer_t value) {
    return push(Json::from_integer(value));
  }
  bool number_unsigned(nlohmann::json::number_unsigned_t value) {
    return push(Json::from_unsigned(value));
  }
  bool number_float(nlohmann::json::number_float_t value, const nlohmann::json::string_t&) {
    return push(Json::from_double(value));
  }
  bool string(nlohmann::json::string_t& value) { return push(arena_.string(value)); }
  bool binary(nlohmann::json::binary_t&) { return push(Json()); }
  bool start_object(std::size_t) {
    open_.push_back({values_.size(), keys_.size()});
    return true;
  }
  bool key(nlohmann::json::string_t& key) {
    keys_.push_back(arena_.key(key));
    return true;
  }
  bool end_object() {
    const Open open = close();
    const std::size_t size = values_.size() - open.values;
    JsonMember* members = arena_.allocate_members(size);
    for (std::size_t i = 0; i < size; ++i) {
      members[i] = JsonMember{keys_[open.keys + i], values_[open.values + i]};
    }
    values_.resize(open.values);
    keys_.resize(open.keys);
    return push(JsonArena::object_of({members, sort_members({members, size})}));
  }
  bool start_array(std::size_t) {
    open_.push_back({values_.size(), keys_.size()});
    return true;
  }
  bool end_array() {
    const Open open = close();
    const std::size_t size = values_.size() - open.values;
    Json* items = arena_.allocate_values(size);
    std::copy(values_.begin() + static_cast<std::ptrdiff_t>(open.values), values_.end(), items);
    values_.resize(open.values);
    return push(JsonArena::array_of({items, size}));
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

 private:
  struct Open {
    std::size_t values;
    std::size_t keys;
  };
  bool push(Json value) {
    values_.push_back(value);
    return true;
  }
  Open close() {
    const Open open = open_.back();
    open_.pop_back();
    return open;
  }

  JsonArena& arena_;
  std::vector<Json> values_;
  std::vector<const JsonKey*> keys_;
  std::vector<Open> open_;
};

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
  bool number_integer(nlohmann::json::number_integer_t) { return true; }
  bool number_unsigned(nlohmann::json::number_unsigned_t) { return true; }
  bool number_float(nlohmann::json::number_float_t, const nlohmann::json::string_t&) {
    return true;
  }
  bool string(nlohmann::json::string_t&) { return true; }
  bool binary(nlohmann::json::binary_t&) { return true; }
  // Stops at the first level too deep: no error can come before it that was not reported yet.
  bool start_object(std::size_t) { return ++depth <= json_depth_limit; }
  bool key(nlohmann::json::string_t&) { return true; }
  bool end_object() {
    --depth;
    return true;
  }
  bool start_array(std::size_t) { return ++depth <= json_depth_limit; }
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
      const base::DecodedChar decoded = base::decode_utf8(what, offset);
      base::append_utf8(text, decoded.value);
      offset += decoded.length;
    }
    return text;
  }
};

std::optional<SyntaxFault> first_syntax_fault(std::string_view text) {
  FaultFinder finder;
  nlohmann::json::sax_parse(text.begin(), text.end(), &finder);
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
      if (++depth > json_depth_limit) {
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
    const std::size_t length = base::decode_utf8(text, position).length;
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
std::expected<DocumentPtr, Error> parse_refused_document(std::string_view text) {
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
  auto document = std::make_shared<Document>();
  EventTreeBuilder builder(document->arena);
  if (!nlohmann::json::sax_parse(text.begin(), text.end(), &builder)) {
    return std::unexpected(syntax_error_at(text, text.size(), "invalid document"));
  }
  document->root = builder.root();
  return document;
}

}  // namespace

// --- Loader --------------------------------------------------------------------------------------

struct DocumentParser::Parts {
  simdjson::dom::parser parser;
  ReadBuffer buffer;
  ChildStack children;

  // Grows the parser's index for `size` bytes with some room, so that a document growing a
  // little on every rewrite does not make it allocate again each time.
  bool fit_parser(std::size_t size) {
    if (parser.capacity() >= size && parser.capacity() > 0) {
      return true;
    }
    const std::size_t capacity = std::max<std::size_t>(64, size + size / 4);
    if (parser.allocate(capacity, json_depth_limit) != simdjson::SUCCESS) {
      return false;
    }
    advise_huge_pages(parser.implementation->structural_indexes.get(),
                      (capacity + 2) * sizeof(std::uint32_t));
    return true;
  }

  std::expected<DocumentPtr, Error> parse(const DocumentParser::ReadAgain& read_again);
};

// Finds the structural characters with the fast parser's first stage, then builds the tree
// straight from them: no intermediate tape is written. The tree holds copies of the strings, so
// the text's pages go back to the kernel once it is built (or refused).
std::expected<DocumentPtr, Error> DocumentParser::Parts::parse(
    const DocumentParser::ReadAgain& read_again) {
  const std::string_view text = buffer.text();
  // A raw NUL byte is never valid JSON, and the walk takes one for the end of the text.
  if (text.empty() || std::memchr(text.data(), '\0', text.size()) != nullptr) {
    return parse_refused_document(text);
  }
  if (!fit_parser(text.size())) {
    return out_of_memory();
  }
  auto& stage = *parser.implementation;
  const simdjson::error_code found =
      stage.stage1(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                   simdjson::stage1_mode::regular);
  if (found == simdjson::MEMALLOC) {
    return out_of_memory();
  }
  if (found != simdjson::SUCCESS) {
    return parse_refused_document(text);
  }
  const std::size_t count = stage.n_structural_indexes;
  std::uint32_t* index = stage.structural_indexes.get();
  // The walk reads up to two positions past the last, which must point at the zeroed padding.
  index[count] = index[count + 1] = static_cast<std::uint32_t>(text.size());
  children.reserve(most_items(count), most_members(count));
  auto document = std::make_shared<Document>();
  // Room for every container and every string; only what the tree touches becomes resident.
  document->arena = JsonArena(container_bytes(count) + text.size());
  const std::optional<Json> root =
      build_from_structurals(buffer.data(), index, count, document->arena, children);
  release_pages(index, count * sizeof(std::uint32_t));
  children.trim();
  if (!root) {
    // The walk has given back pages of the text: the careful path needs all of it again.
    buffer.clear();
    if (auto read = read_again(buffer); !read) {
      return std::unexpected(std::move(read.error()));
    }
    return parse_refused_document(buffer.text());
  }
  document->root = *root;
  return document;
}

DocumentParser::DocumentParser() : parts_(std::make_unique<Parts>()) {}
DocumentParser::DocumentParser(DocumentParser&&) noexcept = default;
DocumentParser& DocumentParser::operator=(DocumentParser&&) noexcept = default;
DocumentParser::~DocumentParser() = default;

ReadBuffer& DocumentParser::buffer() {
  return parts_->buffer;
}

std::expected<DocumentPtr, Error> DocumentParser::parse_buffer(const ReadAgain& read_again) {
  std::expected<DocumentPtr, Error> document = out_of_memory();
  try {
    document = parts_->parse(read_again);
  } catch (const std::bad_alloc&) {
  }
  parts_->buffer.clear();
  return document;
}

std::expected<DocumentPtr, Error> DocumentParser::parse(std::string_view text) try {
  // Filling the buffer fails only by throwing std::bad_alloc.
  const auto copy = [text](ReadBuffer& buffer) -> std::expected<void, Error> {
    buffer.reserve(text.size());
    std::memcpy(buffer.data(), text.data(), text.size());
    buffer.set_size(text.size());
    return {};
  };
  static_cast<void>(copy(parts_->buffer));
  return parse_buffer(copy);
} catch (const std::bad_alloc&) {
  return out_of_memory();
}

std::expected<DocumentPtr, Error> parse_document(std::string_view text) {
  return DocumentParser().parse(text);
}

}  // namespace qm
