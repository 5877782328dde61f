#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>

namespace tui {

// The grapheme cluster of a cell. Nearly every cluster is short, so up to `inline_capacity` bytes
// are kept in place, which keeps a cell small and a frame's cells in few cache lines; a longer
// cluster (a joined emoji sequence, a pile of combining marks) is kept on the heap. The empty
// symbol marks a continuation cell.
class Symbol {
 public:
  static constexpr std::size_t inline_capacity = 12;

  Symbol() = default;
  Symbol(std::string_view text) { assign(text); }  // NOLINT: a symbol stands for its text
  Symbol(const char* text) : Symbol(std::string_view(text)) {}  // NOLINT: as above
  Symbol(const Symbol& other) { assign(other.view()); }
  Symbol(Symbol&& other) noexcept : Symbol() { swap(other); }
  Symbol& operator=(const Symbol& other) {
    if (this != &other) {
      assign(other.view());
    }
    return *this;
  }
  Symbol& operator=(Symbol&& other) noexcept {
    swap(other);
    return *this;
  }
  Symbol& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  Symbol& operator=(const char* text) { return *this = std::string_view(text); }
  ~Symbol() { release(); }

  std::string_view view() const {
    if (size_ != on_heap) {
      return {bytes_, size_};
    }
    const char* block = heap_block();
    uint32_t size = 0;
    std::memcpy(&size, block, sizeof size);
    return {block + sizeof size, size};
  }
  operator std::string_view() const { return view(); }  // NOLINT: read as text everywhere
  std::size_t size() const { return view().size(); }
  bool empty() const { return size_ == 0; }
  bool is_on_heap() const { return size_ == on_heap; }

  // One byte in place of what was there: the common case, kept short.
  void set_byte(char byte) {
    if (size_ != 1) {
      clear();
    }
    bytes_[0] = byte;
    size_ = 1;
  }
  void assign(std::string_view text);
  void append(std::string_view text);
  void clear() {
    release();
    std::memset(bytes_, 0, sizeof bytes_);
    size_ = 0;
  }
  void swap(Symbol& other) noexcept {
    Symbol held;
    std::memcpy(held.bytes_, bytes_, sizeof bytes_);
    held.size_ = size_;
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    size_ = other.size_;
    std::memcpy(other.bytes_, held.bytes_, sizeof bytes_);
    other.size_ = held.size_;
    held.size_ = 0;
  }

  // Two short symbols are equal when their bytes are: the bytes past the size are kept zero.
  bool operator==(const Symbol& other) const {
    if (size_ != on_heap || other.size_ != on_heap) {
      return size_ == other.size_ && std::memcmp(bytes_, other.bytes_, sizeof bytes_) == 0;
    }
    return view() == other.view();
  }
  bool operator==(std::string_view text) const { return view() == text; }
  bool operator==(const char* text) const { return view() == std::string_view(text); }

  friend std::ostream& operator<<(std::ostream& out, const Symbol& symbol) {
    return out << symbol.view();
  }

 private:
  static constexpr uint8_t on_heap = 0xFF;

  const char* heap_block() const {
    const char* block = nullptr;
    std::memcpy(&block, bytes_, sizeof block);
    return block;
  }
  void release();

  // Zero past the size, so equal short symbols compare equal byte for byte.
  char bytes_[inline_capacity] = {' '};
  uint8_t size_ = 1;
};

static_assert(sizeof(Symbol) == Symbol::inline_capacity + 1);

}  // namespace tui
