#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace qm {

struct JsonMember;
struct JsonKey;

// One immutable JSON value. Containers and strings point into the arena of the document that
// holds them, so a value is a small handle, cheap to copy and valid as long as that document.
// A non-negative integer is held as unsigned, a negative one as signed, like the parser reads them.
class Json {
 public:
  enum class Type : std::uint8_t {
    null,
    boolean,
    integer,
    unsigned_integer,
    floating,
    string,
    array,
    object
  };

  constexpr Json() = default;
  static Json from_bool(bool value);
  static Json from_integer(std::int64_t value);
  static Json from_unsigned(std::uint64_t value);
  static Json from_double(double value);

  Type type() const { return type_; }
  bool is_null() const { return type_ == Type::null; }
  bool is_boolean() const { return type_ == Type::boolean; }
  bool is_number() const {
    return type_ == Type::integer || type_ == Type::unsigned_integer || type_ == Type::floating;
  }
  bool is_number_integer() const {
    return type_ == Type::integer || type_ == Type::unsigned_integer;
  }
  bool is_number_unsigned() const { return type_ == Type::unsigned_integer; }
  bool is_number_float() const { return type_ == Type::floating; }
  bool is_string() const { return type_ == Type::string; }
  bool is_array() const { return type_ == Type::array; }
  bool is_object() const { return type_ == Type::object; }

  // Each accessor reads the value of its own type; the caller checks the type first.
  bool boolean() const { return payload_.boolean; }
  std::int64_t integer() const { return payload_.integer; }
  std::uint64_t unsigned_integer() const { return payload_.unsigned_integer; }
  double floating() const { return payload_.floating; }
  // Any number as a double.
  double number() const;
  std::string_view string() const { return {payload_.text, size_}; }
  std::span<const Json> array() const { return {payload_.items, size_}; }
  // Members in ascending byte order of their keys, each key once.
  std::span<const JsonMember> object() const;
  // The member value under `key`, or none (binary search); none for anything but an object.
  const Json* find(std::string_view key) const;

  // JSON equality: numbers compare by value across their kinds, objects member by member.
  friend bool operator==(const Json& a, const Json& b);

 private:
  friend class JsonArena;
  friend class JsonBuilder;

  union Payload {
    bool boolean;
    std::int64_t integer;
    std::uint64_t unsigned_integer;
    double floating;
    const char* text;
    const Json* items;
    const JsonMember* members;
  };

  Type type_ = Type::null;
  std::uint32_t size_ = 0;
  Payload payload_{.unsigned_integer = 0};
};

// A text as an arena keeps it to share it: its length, then its bytes. A member points at one for
// its key, so objects share one copy of a key that repeats; a parsed document's strings are such
// shared copies too.
struct JsonKey {
  std::uint32_t size = 0;

  std::string_view text() const { return {reinterpret_cast<const char*>(this + 1), size}; }
};

inline constexpr JsonKey empty_json_key{};

// Whether two texts are equal. Short ones, nearly every key, are compared in a few loads rather
// than with a call, which key lookups would otherwise spend most of their time in.
inline bool same_text(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  if (size != b.size()) {
    return false;
  }
  const auto load = [](const char* p, auto word) {
    std::memcpy(&word, p, sizeof word);
    return word;
  };
  if (size >= 8 && size <= 16) {
    return load(a.data(), std::uint64_t{}) == load(b.data(), std::uint64_t{}) &&
           load(a.data() + size - 8, std::uint64_t{}) == load(b.data() + size - 8, std::uint64_t{});
  }
  if (size >= 4 && size < 8) {
    return load(a.data(), std::uint32_t{}) == load(b.data(), std::uint32_t{}) &&
           load(a.data() + size - 4, std::uint32_t{}) == load(b.data() + size - 4, std::uint32_t{});
  }
  return a == b;
}

struct JsonMember {
  const JsonKey* name = &empty_json_key;
  Json value;

  std::string_view key() const { return name->text(); }
};

inline std::span<const JsonMember> Json::object() const {
  return {payload_.members, size_};
}

// The memory of one document: allocations only grow it, and it is released whole. Big blocks
// come straight from the kernel, advised as huge pages, and go back to it when the arena goes.
class JsonArena {
 public:
  JsonArena() : JsonArena(0) {}
  // `expected_bytes` sizes the first block, so a document of known size mostly fits in one.
  explicit JsonArena(std::size_t expected_bytes);
  JsonArena(JsonArena&&) noexcept;
  JsonArena& operator=(JsonArena&&) noexcept;
  JsonArena(const JsonArena&) = delete;
  JsonArena& operator=(const JsonArena&) = delete;
  ~JsonArena();

  // `alignment` is a power of two. Throws std::bad_alloc when the system has no memory left.
  void* allocate(std::size_t bytes, std::size_t alignment) {
    const auto address = reinterpret_cast<std::uintptr_t>(next_);
    const std::uintptr_t start = (address + alignment - 1) & ~(alignment - 1);
    if (next_ == nullptr || start > reinterpret_cast<std::uintptr_t>(end_) ||
        reinterpret_cast<std::uintptr_t>(end_) - start < bytes) {
      return allocate_in_new_block(bytes, alignment);
    }
    next_ = reinterpret_cast<std::byte*>(start + bytes);
    return reinterpret_cast<void*>(start);
  }
  Json* allocate_values(std::size_t count);
  JsonMember* allocate_members(std::size_t count);
  // A copy of `text` in the arena.
  std::string_view copy_text(std::string_view text) {
    if (text.empty()) {
      return {};
    }
    auto* copy = static_cast<char*>(allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
  }
  // A copy of `text` to share, as a member's key or a string's text.
  const JsonKey* key(std::string_view text);
  // The bytes reserved from the system.
  std::size_t reserved_bytes() const;

  // Value constructors for the containers and strings the arena holds.
  Json string(std::string_view text) { return string_view_of(copy_text(text)); }
  // A string value over `text`, which must live as long as the value.
  static Json string_view_of(std::string_view text) {
    Json json;
    json.type_ = Json::Type::string;
    json.size_ = static_cast<std::uint32_t>(text.size());
    json.payload_.text = text.data();
    return json;
  }
  static Json array_of(std::span<const Json> items_in_arena);
  // `members` must already be sorted by key with no key twice.
  static Json object_of(std::span<const JsonMember> members_in_arena);

 private:
  struct Block {
    std::byte* start = nullptr;
    std::size_t size = 0;
    bool mapped = false;
  };
  void add_block(std::size_t minimum);
  void* allocate_in_new_block(std::size_t bytes, std::size_t alignment);
  void release();

  std::vector<Block> blocks_;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
  std::size_t next_block_size_;
};

// Sorts members by key bytes, keeping for a repeated key only its last member (the later one
// in `members`); returns how many remain at the front.
std::size_t sort_members(std::span<JsonMember> members);

// A deep copy of `value` into `arena`.
Json copy_json(const Json& value, JsonArena& arena);

// A document: its root value and the arena that holds its containers, keys and strings.
struct Document {
  JsonArena arena;
  Json root;
};
using DocumentPtr = std::shared_ptr<const Document>;

// A value the program makes of its own, built member by member into an arena:
//   JsonBuilder b(arena); b.add("id", b.text("x")); Json item = b.object();
class JsonBuilder {
 public:
  explicit JsonBuilder(JsonArena& arena) : arena_(arena) {}

  Json text(std::string_view value) { return arena_.string(value); }
  // Adds a member to the object under construction (a later key replaces an earlier one).
  JsonBuilder& add(std::string_view key, Json value);
  JsonBuilder& add(std::string_view key, std::string_view value) { return add(key, text(value)); }
  // The object of the members added so far; the builder starts empty again.
  Json object();
  Json array(std::span<const Json> items);

 private:
  JsonArena& arena_;
  std::vector<JsonMember> members_;
};

}  // namespace qm
