#include "json/index_walk.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "json/document_parser.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

namespace {

constexpr std::size_t page = 4096;
// Stack pages kept touched from one document to the next.
constexpr std::size_t kept_stack_bytes = std::size_t{256} << 10;
// Containers whose children take more than this are copied out in steps of it, each step's
// stack pages given back, so the largest container is never held twice.
constexpr std::size_t copy_step = std::size_t{1} << 20;
// The walked parts of the index and the text are given back in whole huge pages.
constexpr std::size_t huge_page = std::size_t{2} << 20;

std::size_t round_up(std::size_t value, std::size_t multiple) {
  return (value + multiple - 1) / multiple * multiple;
}

void release_pages(const void* start, std::size_t size) {
  const auto first = round_up(reinterpret_cast<std::uintptr_t>(start), page);
  const auto last = (reinterpret_cast<std::uintptr_t>(start) + size) / page * page;
  if (last > first) {
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
  }
}

// Bytes that may end a number or a literal: white space, structural characters and the end.
constexpr std::array<bool, 256> ends_token = [] {
  std::array<bool, 256> table{};
  for (const unsigned char c : std::string_view(" \t\n\r,:[]{}")) {
    table[c] = true;
  }
  table[0] = true;
  return table;
}();

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// The four hex digits at `p` as a code unit, or -1.
int hex_unit(const char* p) {
  int unit = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = hex_value(p[i]);
    if (digit < 0) {
      return -1;
    }
    unit = unit * 16 + digit;
  }
  return unit;
}

char* append_utf8(char* out, std::uint32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

// The first quote or backslash at or after `p`; the text always holds a quote after `p`.
const char* next_quote_or_backslash(const char* p) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  for (;; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)));
    if (mask != 0) {
      return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
  }
#else
  while (*p != '"' && *p != '\\') {
    ++p;
  }
  return p;
#endif
}

// Decodes the escaped string body [p, end) into `out`; returns the end of what it wrote, or
// null for a bad escape or a lone surrogate.
char* unescape(const char* p, const char* end, char* out) {
  while (p < end) {
    if (*p != '\\') {
      *out++ = *p++;
      continue;
    }
    const char escaped = p[1];
    p += 2;
    switch (escaped) {
      case '"':
      case '\\':
      case '/':
        *out++ = escaped;
        break;
      case 'b':
        *out++ = '\b';
        break;
      case 'f':
        *out++ = '\f';
        break;
      case 'n':
        *out++ = '\n';
        break;
      case 'r':
        *out++ = '\r';
        break;
      case 't':
        *out++ = '\t';
        break;
      case 'u': {
        const int unit = hex_unit(p);
        if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) {
          return nullptr;
        }
        p += 4;
        std::uint32_t code = static_cast<std::uint32_t>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
          if (end - p < 6 || p[0] != '\\' || p[1] != 'u') {
            return nullptr;
          }
          const int low = hex_unit(p + 2);
          if (low < 0xDC00 || low > 0xDFFF) {
            return nullptr;
          }
          p += 6;
          code = 0x10000 + ((code - 0xD800) << 10) + static_cast<std::uint32_t>(low - 0xDC00);
        }
        out = append_utf8(out, code);
        break;
      }
      default:
        return nullptr;
    }
  }
  return out;
}

// Keys repeat from object to object, and strings (names, ids, message definitions, log lines)
// from one part of a document to another, most within a few hundred values. Each text is copied
// once, after its length, and found again in a table indexed by a hash of its length and a few
// of its bytes; a text that loses its slot to another is merely copied again.
template <std::size_t slots>
class TextTable {
  static_assert(std::has_single_bit(slots));

 public:
  explicit TextTable(JsonArena& arena) : arena_(arena) {}

  const JsonKey* find_or_add(std::string_view text) {
    const std::uint64_t hashed = hash(text);
    Slot& slot = slots_[hashed >> (64 - std::countr_zero(slots))];
    // Hashes compared first: a slot that holds another text costs no look at its bytes.
    if (slot.hash != hashed || slot.text == nullptr || !same_text(slot.text->text(), text)) {
      slot = Slot{arena_.key(text), hashed};
    }
    return slot.text;
  }

 private:
  static std::uint64_t word_at(std::string_view text, std::size_t offset) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + offset, std::min<std::size_t>(text.size() - offset, 8));
    return word;
  }

  // Multiplying carries each bit only upwards: the product's high bits are folded back down.
  static std::uint64_t mix(std::uint64_t value) {
    value *= 0x9E3779B97F4A7C15u;
    return value ^ (value >> 32);
  }

  // A hash whose high bits choose the slot.
  static std::uint64_t hash(std::string_view text) {
    const std::size_t size = text.size();
    std::uint64_t mixed = mix(word_at(text, 0) ^ size);
    if (size > 8) {
      mixed = mix(mixed ^ word_at(text, size - 8));
    }
    if (size > 16) {
      mixed = mix(mixed ^ word_at(text, size / 2 - 4));
    }
    return mixed * 0xFF51AFD7ED558CCDu;
  }

  struct Slot {
    const JsonKey* text = nullptr;
    std::uint64_t hash = 0;
  };

  JsonArena& arena_;
  std::array<Slot, slots> slots_{};
};

class IndexWalk {
 public:
  IndexWalk(char* text, std::uint32_t* index, std::size_t count, JsonArena& arena,
            ChildStack& children)
      : text_(text),
        index_(index),
        count_(count),
        arena_(arena),
        keys_(arena),
        strings_(arena),
        items_(children.items()),
        members_(children.members()) {}

  std::optional<Json> root() {
    Json root;
    if (count_ == 0 || !value(0, root) || position_ != count_) {
      return std::nullopt;
    }
    return root;
  }

 private:
  // The character at the current structural position; the NUL padding past the last one.
  char current() const { return text_[index_[position_]]; }

  // Gives back the pages of the index and of the text that the walk has left behind: the tree
  // holds copies of everything it needs from them.
  void release_walked() {
    release_before(index_, released_index_, position_ * sizeof(std::uint32_t));
    release_before(text_, released_text_, index_[position_]);
  }

  // Gives back the whole huge pages of `memory` between `released` and `reached` bytes: splitting
  // a huge page costs more than the memory it frees.
  static void release_before(const void* memory, std::size_t& released, std::size_t reached) {
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t first = round_up(start + released, huge_page);
    const std::uintptr_t last = (start + reached) / huge_page * huge_page;
    if (last > first) {
      ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
      released = last - start;
    }
  }

  bool value(std::size_t depth, Json& out) {
    const std::uint32_t at = index_[position_++];
    const char* start = text_ + at;
    switch (*start) {
      case '{':
        return object(depth + 1, out);
      case '[':
        return array(depth + 1, out);
      case '"': {
        std::string_view text;
        if (!string(start, text)) {
          return false;
        }
        out = JsonArena::string_view_of(strings_.find_or_add(text)->text());
        return true;
      }
      case 't':
        out = Json::from_bool(true);
        return literal(start, "true");
      case 'f':
        out = Json::from_bool(false);
        return literal(start, "false");
      case 'n':
        out = Json();
        return literal(start, "null");
      default:
        return number(start, out);
    }
  }

  static bool literal(const char* start, std::string_view word) {
    return std::memcmp(start, word.data(), word.size()) == 0 &&
           ends_token[static_cast<unsigned char>(start[word.size()])];
  }

  // The text of the string whose opening quote is at `quote`: a view into the text, or into the
  // walk's own buffer when it holds escapes; valid until the next string is read.
  bool string(const char* quote, std::string_view& out) {
    const char* body = quote + 1;
    const char* p = next_quote_or_backslash(body);
    if (*p == '"') {
      out = {body, static_cast<std::size_t>(p - body)};
      return true;
    }
    return unescaped_string(body, p, out);
  }

  // The rest of `string` for a string with escapes, the first of them at `p`.
  [[gnu::noinline]] bool unescaped_string(const char* body, const char* p, std::string_view& out) {
    while (*p != '"') {
      p = next_quote_or_backslash(*p == '\\' ? p + 2 : p);
    }
    unescaped_.resize(static_cast<std::size_t>(p - body));
    const char* end = unescape(body, p, unescaped_.data());
    if (end == nullptr) {
      return false;
    }
    out = {unescaped_.data(), static_cast<std::size_t>(end - unescaped_.data())};
    return true;
  }

  // Integers that fit 64 bits keep their kind (negative as signed, others unsigned); anything
  // larger, and floats out of range, are left to the careful parser.
  static bool number(const char* start, Json& out) {
    const char* p = start;
    const bool negative = *p == '-';
    if (negative) {
      ++p;
    }
    const char* digits = p;
    std::uint64_t magnitude = 0;
    if (*p == '0') {
      ++p;
    } else if (is_digit(*p)) {
      while (is_digit(*p)) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
      }
    } else {
      return false;
    }
    const std::size_t digit_count = static_cast<std::size_t>(p - digits);
    bool floating = false;
    if (*p == '.') {
      ++p;
      if (!is_digit(*p)) {
        return false;
      }
      while (is_digit(*p)) {
        ++p;
      }
      floating = true;
    }
    if (*p == 'e' || *p == 'E') {
      ++p;
      if (*p == '+' || *p == '-') {
        ++p;
      }
      if (!is_digit(*p)) {
        return false;
      }
      while (is_digit(*p)) {
        ++p;
      }
      floating = true;
    }
    if (!ends_token[static_cast<unsigned char>(*p)]) {
      return false;
    }
    if (floating) {
      double number = 0;
      const std::from_chars_result read = std::from_chars(start, p, number);
      if (read.ec != std::errc() || read.ptr != p) {
        return false;
      }
      out = Json::from_double(number);
      return true;
    }
    if (digit_count > 20) {
      return false;
    }
    if (digit_count == 20) {
      // The sum above wrapped when the digits exceed 64 bits: read them again with a check.
      std::uint64_t checked = 0;
      for (const char* d = digits; d < p; ++d) {
        if (__builtin_mul_overflow(checked, 10u, &checked) ||
            __builtin_add_overflow(checked, static_cast<std::uint64_t>(*d - '0'), &checked)) {
          return false;
        }
      }
      magnitude = checked;
    }
    if (!negative) {
      out = Json::from_unsigned(magnitude);
      return true;
    }
    constexpr std::uint64_t most_negative = std::uint64_t{1} << 63;
    if (magnitude > most_negative) {
      return false;
    }
    out = Json::from_integer(static_cast<std::int64_t>(~magnitude + 1));
    return true;
  }

  bool array(std::size_t depth, Json& out) {
    if (depth > json_depth_limit) {
      return false;
    }
    if (current() == ']') {
      ++position_;
      out = JsonArena::array_of({});
      return true;
    }
    const std::size_t first = item_top_;
    for (;;) {
      // The slot is taken before the value is read: nested containers stack above it.
      const std::size_t slot = item_top_++;
      if (!value(depth, items_[slot])) {
        return false;
      }
      const char next = text_[index_[position_++]];
      if (next == ']') {
        break;
      }
      if (next != ',') {
        return false;
      }
      // Within the loop, so that one huge container gives its index back as it goes.
      release_walked();
    }
    const std::size_t size = item_top_ - first;
    Json* items = arena_.allocate_values(size);
    move_out(items_ + first, size, items);
    item_top_ = first;
    out = JsonArena::array_of({items, size});
    return true;
  }

  bool object(std::size_t depth, Json& out) {
    if (depth > json_depth_limit) {
      return false;
    }
    if (current() == '}') {
      ++position_;
      out = JsonArena::object_of({});
      return true;
    }
    const std::size_t first = member_top_;
    for (;;) {
      const char* quote = text_ + index_[position_];
      JsonMember& member = members_[member_top_++];
      std::string_view key;
      if (*quote != '"' || !string(quote, key) || text_[index_[position_ + 1]] != ':') {
        return false;
      }
      member.name = keys_.find_or_add(key);
      position_ += 2;
      if (!value(depth, member.value)) {
        return false;
      }
      const char next = text_[index_[position_++]];
      if (next == '}') {
        break;
      }
      if (next != ',') {
        return false;
      }
      // Within the loop, so that one huge container gives its index back as it goes.
      release_walked();
    }
    const std::size_t size = member_top_ - first;
    JsonMember* members = arena_.allocate_members(size);
    move_out(members_ + first, size, members);
    member_top_ = first;
    out = JsonArena::object_of({members, sort_members({members, size})});
    return true;
  }

  template <typename T>
  static void move_out(const T* from, std::size_t size, T* to) {
    const std::size_t bytes = size * sizeof(T);
    if (bytes <= copy_step) {
      std::memcpy(to, from, bytes);
      return;
    }
    for (std::size_t done = 0; done < bytes; done += copy_step) {
      const std::size_t step = std::min(copy_step, bytes - done);
      std::memcpy(reinterpret_cast<std::byte*>(to) + done,
                  reinterpret_cast<const std::byte*>(from) + done, step);
      release_pages(reinterpret_cast<const std::byte*>(from) + done, step);
    }
  }

  const char* text_;
  std::uint32_t* index_;
  std::size_t count_;
  JsonArena& arena_;
  TextTable<4096> keys_;
  TextTable<8192> strings_;
  std::string unescaped_;
  Json* items_;
  JsonMember* members_;
  std::size_t position_ = 0;
  std::size_t item_top_ = 0;
  std::size_t member_top_ = 0;
  std::size_t released_index_ = 0;
  std::size_t released_text_ = 0;
};

}  // namespace

// --- Child stack ---------------------------------------------------------------------------------

ChildStack::~ChildStack() {
  if (start_ != nullptr) {
    ::munmap(start_, mapped_);
  }
}

void ChildStack::reserve(std::size_t items, std::size_t members) {
  if (items <= item_capacity_ && members <= member_capacity_ && start_ != nullptr) {
    return;
  }
  const std::size_t item_bytes = round_up(items * sizeof(Json), page);
  const std::size_t mapped = item_bytes + round_up(members * sizeof(JsonMember), page);
  // Only the pages the containers touch become resident.
  void* start = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (start == MAP_FAILED) {
    throw std::bad_alloc();
  }
  if (start_ != nullptr) {
    ::munmap(start_, mapped_);
  }
  start_ = static_cast<std::byte*>(start);
  mapped_ = mapped;
  items_ = reinterpret_cast<Json*>(start_);
  members_ = reinterpret_cast<JsonMember*>(start_ + item_bytes);
  item_capacity_ = item_bytes / sizeof(Json);
  member_capacity_ = (mapped - item_bytes) / sizeof(JsonMember);
}

void ChildStack::trim() {
  const std::size_t item_bytes = item_capacity_ * sizeof(Json);
  const std::size_t member_bytes = member_capacity_ * sizeof(JsonMember);
  if (item_bytes > kept_stack_bytes) {
    release_pages(reinterpret_cast<std::byte*>(items_) + kept_stack_bytes,
                  item_bytes - kept_stack_bytes);
  }
  if (member_bytes > kept_stack_bytes) {
    release_pages(reinterpret_cast<std::byte*>(members_) + kept_stack_bytes,
                  member_bytes - kept_stack_bytes);
  }
}

// A value takes at least two structural characters with its comma (the last one its closing
// bracket), a member four; the text "[]" holds one value in two.
std::size_t most_items(std::size_t count) {
  return count / 2 + 1;
}

std::size_t most_members(std::size_t count) {
  return count / 4 + 1;
}

std::size_t container_bytes(std::size_t count) {
  // Items take 16 bytes per two structural characters, members 24 per four.
  return count * 8 + 64;
}

std::optional<Json> build_from_structurals(char* text, std::uint32_t* index, std::size_t count,
                                           JsonArena& arena, ChildStack& children) {
  return IndexWalk(text, index, count, arena, children).root();
}

}  // namespace qm
