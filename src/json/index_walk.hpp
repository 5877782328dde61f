#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "json/json.hpp"

namespace qm {

// Room for the children of the containers still open while a tree is built; kept from one
// document to the next so that its pages are touched once.
class ChildStack {
 public:
  ChildStack() = default;
  ChildStack(const ChildStack&) = delete;
  ChildStack& operator=(const ChildStack&) = delete;
  ~ChildStack();

  // Makes room for `items` values and `members` members; throws std::bad_alloc.
  void reserve(std::size_t items, std::size_t members);
  // Gives back the pages beyond the first few, which only the largest containers touched.
  void trim();

  Json* items() { return items_; }
  JsonMember* members() { return members_; }

 private:
  std::byte* start_ = nullptr;
  std::size_t mapped_ = 0;
  Json* items_ = nullptr;
  JsonMember* members_ = nullptr;
  std::size_t item_capacity_ = 0;
  std::size_t member_capacity_ = 0;
};

// Builds the tree of `text` into `arena` from the positions of its structural characters (each
// bracket, brace, colon and comma, and the first byte of each string and other value) in
// `index`, which holds `count` of them followed by two equal to `text`'s size. The text must be
// valid UTF-8 with its strings closed, and readable for 64 zero bytes past its end. The tree
// holds copies of all it needs, and the walked parts of `index` and `text` are given back to the
// kernel as it goes, so neither reads as before once the walk has begun.
// Returns none for any text it does not take for a document, or one whose numbers it cannot
// hold exactly.
std::optional<Json> build_from_structurals(char* text, std::uint32_t* index, std::size_t count,
                                           JsonArena& arena, ChildStack& children);

// The most children the containers of a text with `count` structural characters can hold.
std::size_t most_items(std::size_t count);
std::size_t most_members(std::size_t count);
// An arena size that holds every container of such a text.
std::size_t container_bytes(std::size_t count);

}  // namespace qm
