#pragma once

#include <cstddef>
#include <string_view>

namespace qm {

// A buffer for the bytes of a document, with zeroed room after them that the parser reads past
// the end in wide blocks. Big buffers come from the kernel, advised as huge pages.
class ReadBuffer {
 public:
  // The zeroed bytes kept after the text.
  static constexpr std::size_t padding = 64;

  ReadBuffer() = default;
  ReadBuffer(ReadBuffer&& other) noexcept;
  ReadBuffer& operator=(ReadBuffer&& other) noexcept;
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;
  ~ReadBuffer();

  std::string_view text() const { return {data_, size_}; }
  std::size_t size() const { return size_; }
  char* data() { return data_; }
  // Makes room for `capacity` bytes plus the padding, keeping the first `size()` bytes.
  void reserve(std::size_t capacity);
  std::size_t capacity() const { return capacity_; }
  void set_size(std::size_t size);
  // Empties the buffer and gives its pages back to the kernel, keeping the room it made.
  void clear();

 private:
  void unmap();

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t mapped_ = 0;
};

}  // namespace qm
