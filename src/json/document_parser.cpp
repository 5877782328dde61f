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

namespace qm {

namespace {

constexpr std::size_t padding = simdjson::SIMDJSON_PADDING;
constexpr std::string_view recursion_message = "recursion limit exceeded";
constexpr std::size_t page = 4096;
constexpr std::size_t huge_page = std::size_t{2} << 20;
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

// --- Building the tree from the fast parser's result -------------------------------------------

// Gives pages back to the kernel. The mapping stays, so the next document that needs them gets
// fresh zeroed pages.
void release_pages(const void* start, std::size_t size) {
  advise_whole_pages(start, size, MADV_DONTNEED);
}

// Walks the parser's tape (one 64-bit word per value, a type letter in the top byte; containers
// know the index after their end and their size, strings point into the string buffer) and
// builds the tree in one pass. What it has walked is never read again, so it gives the tape's
// pages back as it goes: a document of tiny values never holds the whole tape and the whole
// tree at once.
class TapeWalk {
 public:
  TapeWalk(const simdjson::dom::document& parsed, JsonArena& arena)
      : tape_(parsed.tape.get()), strings_(parsed.string_buf.get()), arena_(arena) {}

  Json root() {
    position_ = 1;
    return value();
  }

 private:
  static constexpr std::uint64_t payload_mask = 0x00FF'FFFF'FFFF'FFFFu;
  static constexpr std::uint32_t saturated_count = 0xFF'FFFFu;
  static constexpr std::size_t release_step = std::size_t{4} << 20;

  char type_at(std::size_t index) const { return static_cast<char>(tape_[index] >> 56); }
  std::uint64_t payload_at(std::size_t index) const { return tape_[index] & payload_mask; }

  // The index after the value at `index`.
  std::size_t after(std::size_t index) const {
    switch (type_at(index)) {
      case '[':
      case '{':
        return static_cast<std::uint32_t>(payload_at(index));
      case 'l':
      case 'u':
      case 'd':
        return index + 2;
      default:
        return index + 1;
    }
  }

  // How many values a container holds (members of an object count once).
  std::size_t count_at(std::size_t index) const {
    const auto count = static_cast<std::uint32_t>(payload_at(index) >> 32) & saturated_count;
    if (count < saturated_count) {
      return count;
    }
    const bool object = type_at(index) == '{';
    const std::size_t end = after(index) - 1;
    std::size_t counted = 0;
    for (std::size_t child = index + 1; child < end; ++counted) {
      child = after(object ? child + 1 : child);
    }
    return counted;
  }

  std::string_view text_at(std::size_t index) const {
    const std::uint8_t* start = strings_ + payload_at(index);
    std::uint32_t length = 0;
    std::memcpy(&length, start, sizeof length);
    return {reinterpret_cast<const char*>(start + sizeof length), length};
  }

  void release_walked() {
    const std::size_t walked = position_ * sizeof(std::uint64_t);
    if (walked - released_ >= release_step) {
      release_pages(reinterpret_cast<const std::byte*>(tape_) + released_, walked - released_);
      released_ = walked / page * page;
    }
  }

  Json value() {
    const std::size_t index = position_;
    switch (type_at(index)) {
      case '[': {
        // Read before the children are walked, which may release this word.
        const std::size_t end = after(index);
        const std::size_t size = count_at(index);
        Json* items = arena_.allocate_values(size);
        ++position_;
        for (std::size_t i = 0; i < size; ++i) {
          items[i] = value();
        }
        position_ = end;
        release_walked();
        return JsonArena::array_of({items, size});
      }
      case '{': {
        const std::size_t end = after(index);
        const std::size_t size = count_at(index);
        JsonMember* members = arena_.allocate_members(size);
        ++position_;
        for (std::size_t i = 0; i < size; ++i) {
          members[i].key = arena_.copy_text(text_at(position_++));
          members[i].value = value();
        }
        position_ = end;
        release_walked();
        return JsonArena::object_of({members, sort_members({members, size})});
      }
      case '"':
        ++position_;
        return arena_.string(text_at(index));
      case 'l':
        position_ += 2;
        return Json::from_integer(static_cast<std::int64_t>(tape_[index + 1]));
      case 'u':
        position_ += 2;
        return Json::from_unsigned(tape_[index + 1]);
      case 'd': {
        double number = 0;
        std::memcpy(&number, &tape_[index + 1], sizeof number);
        position_ += 2;
        return Json::from_double(number);
      }
      case 't':
        ++position_;
        return Json::from_bool(true);
      case 'f':
        ++position_;
        return Json::from_bool(false);
      default:
        ++position_;
        return Json();
    }
  }

  const std::uint64_t* tape_;
  const std::uint8_t* strings_;
  JsonArena& arena_;
  std::size_t position_ = 0;
  std::size_t released_ = 0;
};

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
    keys_.push_back(arena_.copy_text(key));
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
  std::vector<std::string_view> keys_;
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

// --- Read buffer ---------------------------------------------------------------------------------

ReadBuffer::~ReadBuffer() {
  if (data_ != nullptr) {
    ::munmap(data_, mapped_);
  }
}

void ReadBuffer::reserve(std::size_t capacity) {
  if (capacity <= capacity_ && data_ != nullptr) {
    return;
  }
  const std::size_t mapped =
      round_up(capacity + padding, capacity >= huge_page_worthy ? huge_page : page);
  void* start = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) {
    throw std::bad_alloc();
  }
  advise_huge_pages(start, mapped);
  if (data_ != nullptr) {
    std::memcpy(start, data_, size_);
    ::munmap(data_, mapped_);
  }
  data_ = static_cast<char*>(start);
  mapped_ = mapped;
  capacity_ = mapped - padding;
}

void ReadBuffer::set_size(std::size_t size) {
  size_ = size;
  std::memset(data_ + size_, 0, padding);
}

// --- Loader --------------------------------------------------------------------------------------

struct DocumentParser::Parts {
  simdjson::dom::parser parser;
  ReadBuffer buffer;

  // Grows the parser for `size` bytes with some room, so that a document growing a little on
  // every rewrite does not make the parser allocate again each time.
  bool fit_parser(std::size_t size) {
    if (parser.capacity() >= size && parser.doc.capacity() >= size && parser.capacity() > 0) {
      return true;
    }
    const std::size_t capacity = std::max<std::size_t>(64, size + size / 4);
    if (parser.allocate(capacity, json_depth_limit) != simdjson::SUCCESS ||
        parser.doc.allocate(capacity) != simdjson::SUCCESS) {
      return false;
    }
    advise_huge_pages(parser.doc.tape.get(), round_up(capacity + 3, 64) * sizeof(std::uint64_t));
    advise_huge_pages(parser.doc.string_buf.get(), 5 * capacity / 3);
    advise_huge_pages(parser.implementation->structural_indexes.get(),
                      (capacity + 2) * sizeof(std::uint32_t));
    return true;
  }

  void release_after_parse(std::size_t size) {
    release_pages(buffer.data(), size);
    release_pages(parser.implementation->structural_indexes.get(),
                  parser.implementation->n_structural_indexes * sizeof(std::uint32_t));
  }
};

DocumentParser::DocumentParser() : parts_(std::make_unique<Parts>()) {}
DocumentParser::DocumentParser(DocumentParser&&) noexcept = default;
DocumentParser& DocumentParser::operator=(DocumentParser&&) noexcept = default;
DocumentParser::~DocumentParser() = default;

ReadBuffer& DocumentParser::buffer() {
  return parts_->buffer;
}

std::expected<DocumentPtr, Error> DocumentParser::parse_buffer() try {
  const std::string_view text = parts_->buffer.text();
  // A raw NUL byte is never valid JSON, yet the fast parser lets one pass after a number.
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    return parse_refused_document(text);
  }
  if (!parts_->fit_parser(text.size())) {
    return out_of_memory();
  }
  const simdjson::simdjson_result<simdjson::dom::element> parsed =
      parts_->parser.parse(text.data(), text.size(), false);
  if (parsed.error() == simdjson::MEMALLOC) {
    return out_of_memory();
  }
  if (parsed.error() != simdjson::SUCCESS) {
    return parse_refused_document(text);
  }
  // The text and the parser's index of it are not needed any more: give their memory back before
  // the tree takes its own.
  parts_->release_after_parse(text.size());
  // Most of a document is strings and small values; its arena starts at about the size of the
  // text, and grows only for documents made of many tiny values.
  auto document =
      std::make_shared<Document>(Document{JsonArena(text.size() + text.size() / 2), Json()});
  document->root = TapeWalk(parts_->parser.doc, document->arena).root();
  return document;
} catch (const std::bad_alloc&) {
  return out_of_memory();
}

std::expected<DocumentPtr, Error> DocumentParser::parse(std::string_view text) try {
  parts_->buffer.reserve(text.size());
  std::memcpy(parts_->buffer.data(), text.data(), text.size());
  parts_->buffer.set_size(text.size());
  return parse_buffer();
} catch (const std::bad_alloc&) {
  return out_of_memory();
}

std::expected<DocumentPtr, Error> parse_document(std::string_view text) {
  return DocumentParser().parse(text);
}

}  // namespace qm
