#include "model/text_map.hpp"

#include <algorithm>
#include <bit>
#include <functional>

namespace qm {

void TextMap::reserve(std::size_t count) {
  texts_.reserve(count);
  values_.reserve(count);
  rehash(std::bit_ceil(count * 2 + 2));
}

void TextMap::rehash(std::size_t slot_count) {
  if (slot_count <= slots_.size()) {
    return;
  }
  slots_.assign(slot_count, 0);
  for (std::uint32_t position = 0; position < texts_.size(); ++position) {
    slots_[find_slot(texts_[position])] = position + 1;
  }
}

std::size_t TextMap::find_slot(std::string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = std::hash<std::string_view>{}(text)&mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0 || texts_[held - 1] == text) {
      return slot;
    }
  }
}

std::pair<std::uint32_t, bool> TextMap::emplace_position(std::string_view text,
                                                         std::uint32_t value) {
  if ((texts_.size() + 1) * 2 > slots_.size()) {
    rehash(std::max<std::size_t>(slots_.size() * 2, 16));
  }
  std::uint32_t& slot = slots_[find_slot(text)];
  if (slot != 0) {
    return {slot - 1, false};
  }
  texts_.push_back(text);
  values_.push_back(value);
  slot = static_cast<std::uint32_t>(texts_.size());
  return {slot - 1, true};
}

std::pair<std::uint32_t, bool> TextMap::try_emplace(std::string_view text, std::uint32_t value) {
  const auto [position, added] = emplace_position(text, value);
  return {values_[position], added};
}

void TextMap::insert_or_assign(std::string_view text, std::uint32_t value) {
  values_[emplace_position(text, value).first] = value;
}

std::optional<std::uint32_t> TextMap::find(std::string_view text) const {
  if (slots_.empty()) {
    return std::nullopt;
  }
  const std::uint32_t held = slots_[find_slot(text)];
  if (held == 0) {
    return std::nullopt;
  }
  return values_[held - 1];
}

}  // namespace qm
