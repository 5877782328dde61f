#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

// Texts to numbers, for the model's lookups by id and by name. The texts and their numbers lie in
// two arrays in the order they were first added, and one array of slots finds them by hash: three
// allocations in place of one per text, and half the memory of a node-based map, which matters
// with two models of a large document alive across a reload. The texts must outlive the map.
class TextMap {
 public:
  void reserve(std::size_t count);
  std::size_t size() const { return texts_.size(); }

  // Adds `text` with `value` unless present; gives the value held and whether it was added.
  std::pair<std::uint32_t, bool> try_emplace(std::string_view text, std::uint32_t value);
  // Adds `text` with `value`, or gives a present text the new value.
  void insert_or_assign(std::string_view text, std::uint32_t value);
  std::optional<std::uint32_t> find(std::string_view text) const;

 private:
  // The index of the slot holding `text`'s position + 1, or of the empty slot where it would go.
  std::size_t find_slot(std::string_view text) const;
  // Spreads the texts over `slot_count` slots (a power of two) if that is more than now.
  void rehash(std::size_t slot_count);
  // The position of `text`, added with `value` when new, and whether it was added.
  std::pair<std::uint32_t, bool> emplace_position(std::string_view text, std::uint32_t value);

  std::vector<std::string_view> texts_;
  std::vector<std::uint32_t> values_;
  // Position + 1 of a text, 0 for an empty slot; a power of two, at most half full.
  std::vector<std::uint32_t> slots_;
};

}  // namespace qm
