#include "json/json.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace qm {

// A document holds a member for nearly every value it has.
static_assert(sizeof(JsonMember) == 24);

namespace {

constexpr std::size_t smallest_block = 4096;
// Blocks this large are mapped from the kernel, so that releasing them returns the memory.
constexpr std::size_t mapped_block = std::size_t{1} << 20;
constexpr std::size_t huge_page = std::size_t{2} << 20;

std::size_t round_up(std::size_t value, std::size_t multiple) {
  return (value + multiple - 1) / multiple * multiple;
}

bool member_key_less(const JsonMember& a, const JsonMember& b) {
  return a.name != b.name && a.key() < b.key();
}

bool same_key(const JsonMember& a, const JsonMember& b) {
  return a.name == b.name || same_text(a.key(), b.key());
}

}  // namespace

Json Json::from_bool(bool value) {
  Json json;
  json.type_ = Type::boolean;
  json.payload_.boolean = value;
  return json;
}

Json Json::from_integer(std::int64_t value) {
  if (value >= 0) {
    return from_unsigned(static_cast<std::uint64_t>(value));
  }
  Json json;
  json.type_ = Type::integer;
  json.payload_.integer = value;
  return json;
}

Json Json::from_unsigned(std::uint64_t value) {
  Json json;
  json.type_ = Type::unsigned_integer;
  json.payload_.unsigned_integer = value;
  return json;
}

Json Json::from_double(double value) {
  Json json;
  json.type_ = Type::floating;
  json.payload_.floating = value;
  return json;
}

double Json::number() const {
  switch (type_) {
    case Type::integer:
      return static_cast<double>(payload_.integer);
    case Type::unsigned_integer:
      return static_cast<double>(payload_.unsigned_integer);
    case Type::floating:
      return payload_.floating;
    default:
      return 0.0;
  }
}

const Json* Json::find(std::string_view key) const {
  if (type_ != Type::object) {
    return nullptr;
  }
  const std::span<const JsonMember> members = object();
  // Most objects are small, and comparing lengths first rules out nearly every key at once.
  if (members.size() <= 16) {
    for (const JsonMember& member : members) {
      if (same_text(member.key(), key)) {
        return &member.value;
      }
    }
    return nullptr;
  }
  const auto found = std::lower_bound(
      members.begin(), members.end(), key,
      [](const JsonMember& member, std::string_view wanted) { return member.key() < wanted; });
  return found != members.end() && same_text(found->key(), key) ? &found->value : nullptr;
}

bool operator==(const Json& a, const Json& b) {
  using Type = Json::Type;
  if (a.type_ != b.type_) {
    if (!a.is_number() || !b.is_number()) {
      return false;
    }
    // Mixed kinds of numbers compare as the library that wrote them would: a float against its
    // double, a signed against an unsigned by their signed bits.
    if (a.is_number_float() || b.is_number_float()) {
      return a.number() == b.number();
    }
    return a.payload_.integer == b.payload_.integer;
  }
  switch (a.type_) {
    case Type::null:
      return true;
    case Type::boolean:
      return a.payload_.boolean == b.payload_.boolean;
    case Type::integer:
      return a.payload_.integer == b.payload_.integer;
    case Type::unsigned_integer:
      return a.payload_.unsigned_integer == b.payload_.unsigned_integer;
    case Type::floating:
      return a.payload_.floating == b.payload_.floating;
    case Type::string:
      return a.string() == b.string();
    case Type::array:
      return std::equal(a.array().begin(), a.array().end(), b.array().begin(), b.array().end());
    case Type::object:
      return std::equal(a.object().begin(), a.object().end(), b.object().begin(), b.object().end(),
                        [](const JsonMember& x, const JsonMember& y) {
                          return same_key(x, y) && x.value == y.value;
                        });
  }
  return false;
}

// --- Arena ---------------------------------------------------------------------------------------

JsonArena::JsonArena(std::size_t expected_bytes)
    : next_block_size_(std::max(smallest_block, expected_bytes)) {}

JsonArena::JsonArena(JsonArena&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      next_(std::exchange(other.next_, nullptr)),
      end_(std::exchange(other.end_, nullptr)),
      next_block_size_(other.next_block_size_) {
  other.blocks_.clear();
}

JsonArena& JsonArena::operator=(JsonArena&& other) noexcept {
  if (this != &other) {
    release();
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    next_ = std::exchange(other.next_, nullptr);
    end_ = std::exchange(other.end_, nullptr);
    next_block_size_ = other.next_block_size_;
  }
  return *this;
}

JsonArena::~JsonArena() {
  release();
}

void JsonArena::release() {
  for (const Block& block : blocks_) {
    if (block.mapped) {
      ::munmap(block.start, block.size);
    } else {
      std::free(block.start);
    }
  }
  blocks_.clear();
  next_ = end_ = nullptr;
}

void JsonArena::add_block(std::size_t minimum) {
  std::size_t size = std::max(next_block_size_, minimum);
  Block block;
  if (size >= mapped_block) {
    size = round_up(size, huge_page);
    void* start = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) {
      throw std::bad_alloc();
    }
    ::madvise(start, size, MADV_HUGEPAGE);
    block = Block{static_cast<std::byte*>(start), size, true};
  } else {
    void* start = std::malloc(size);
    if (start == nullptr) {
      throw std::bad_alloc();
    }
    block = Block{static_cast<std::byte*>(start), size, false};
  }
  blocks_.reserve(blocks_.size() + 1);
  blocks_.push_back(block);
  next_ = block.start;
  end_ = block.start + block.size;
  next_block_size_ = std::max(smallest_block, size / 2 * 3);
}

void* JsonArena::allocate_in_new_block(std::size_t bytes, std::size_t alignment) {
  add_block(bytes + alignment);
  return allocate(bytes, alignment);
}

Json* JsonArena::allocate_values(std::size_t count) {
  return static_cast<Json*>(allocate(count * sizeof(Json), alignof(Json)));
}

JsonMember* JsonArena::allocate_members(std::size_t count) {
  return static_cast<JsonMember*>(allocate(count * sizeof(JsonMember), alignof(JsonMember)));
}

const JsonKey* JsonArena::key(std::string_view text) {
  void* memory = allocate(sizeof(JsonKey) + text.size(), alignof(JsonKey));
  auto* key = new (memory) JsonKey{static_cast<std::uint32_t>(text.size())};
  if (!text.empty()) {
    std::memcpy(key + 1, text.data(), text.size());
  }
  return key;
}

std::size_t JsonArena::reserved_bytes() const {
  std::size_t total = 0;
  for (const Block& block : blocks_) {
    total += block.size;
  }
  return total;
}

Json JsonArena::array_of(std::span<const Json> items_in_arena) {
  Json json;
  json.type_ = Json::Type::array;
  json.size_ = static_cast<std::uint32_t>(items_in_arena.size());
  json.payload_.items = items_in_arena.data();
  return json;
}

Json JsonArena::object_of(std::span<const JsonMember> members_in_arena) {
  Json json;
  json.type_ = Json::Type::object;
  json.size_ = static_cast<std::uint32_t>(members_in_arena.size());
  json.payload_.members = members_in_arena.data();
  return json;
}

std::size_t sort_members(std::span<JsonMember> members) {
  if (!std::is_sorted(members.begin(), members.end(), member_key_less)) {
    std::stable_sort(members.begin(), members.end(), member_key_less);
  }
  // Within a run of equal keys the last one, the latest in the file, wins.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i + 1 < members.size() && same_key(members[i + 1], members[i])) {
      continue;
    }
    members[kept++] = members[i];
  }
  return kept;
}

Json copy_json(const Json& value, JsonArena& arena) {
  switch (value.type()) {
    case Json::Type::string:
      return arena.string(value.string());
    case Json::Type::array: {
      const std::span<const Json> items = value.array();
      Json* copy = arena.allocate_values(items.size());
      for (std::size_t i = 0; i < items.size(); ++i) {
        copy[i] = copy_json(items[i], arena);
      }
      return JsonArena::array_of({copy, items.size()});
    }
    case Json::Type::object: {
      const std::span<const JsonMember> members = value.object();
      JsonMember* copy = arena.allocate_members(members.size());
      for (std::size_t i = 0; i < members.size(); ++i) {
        copy[i] = JsonMember{arena.key(members[i].key()), copy_json(members[i].value, arena)};
      }
      return JsonArena::object_of({copy, members.size()});
    }
    default:
      return value;
  }
}

// --- Builder -------------------------------------------------------------------------------------

JsonBuilder& JsonBuilder::add(std::string_view key, Json value) {
  members_.push_back(JsonMember{arena_.key(key), value});
  return *this;
}

Json JsonBuilder::object() {
  const std::size_t kept = sort_members(members_);
  JsonMember* members = arena_.allocate_members(kept);
  std::copy_n(members_.begin(), kept, members);
  members_.clear();
  return JsonArena::object_of({members, kept});
}

Json JsonBuilder::array(std::span<const Json> items) {
  Json* copy = arena_.allocate_values(items.size());
  std::copy(items.begin(), items.end(), copy);
  return JsonArena::array_of({copy, items.size()});
}

}  // namespace qm
