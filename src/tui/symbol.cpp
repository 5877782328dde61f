#include "tui/symbol.hpp"

#include <string>

namespace tui {

// The new bytes are copied out before the old ones go: `text` may lie in this symbol.
void Symbol::assign(std::string_view text) {
  char held[inline_capacity] = {};
  uint8_t size = on_heap;
  if (text.size() <= inline_capacity) {
    std::memcpy(held, text.data(), text.size());
    size = static_cast<uint8_t>(text.size());
  } else {
    const auto length = static_cast<uint32_t>(text.size());
    char* block = new char[sizeof length + length];
    std::memcpy(block, &length, sizeof length);
    std::memcpy(block + sizeof length, text.data(), length);
    std::memcpy(held, &block, sizeof block);
  }
  release();
  std::memcpy(bytes_, held, sizeof bytes_);
  size_ = size;
}

void Symbol::append(std::string_view text) {
  std::string joined(view());
  joined += text;
  assign(joined);
}

void Symbol::release() {
  if (size_ == on_heap) {
    delete[] heap_block();
    size_ = 0;
  }
}

}  // namespace tui
