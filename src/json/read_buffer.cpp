#include "json/read_buffer.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace qm {

namespace {

constexpr std::size_t page = 4096;
constexpr std::size_t huge_page = std::size_t{2} << 20;
// Buffers at least this large are advised as huge pages.
constexpr std::size_t huge_page_worthy = std::size_t{4} << 20;

std::size_t round_up(std::size_t value, std::size_t multiple) {
  return (value + multiple - 1) / multiple * multiple;
}

}  // namespace

ReadBuffer::ReadBuffer(ReadBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

ReadBuffer& ReadBuffer::operator=(ReadBuffer&& other) noexcept {
  if (this != &other) {
    unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

ReadBuffer::~ReadBuffer() {
  unmap();
}

void ReadBuffer::unmap() {
  if (data_ != nullptr) {
    ::munmap(data_, mapped_);
  }
  data_ = nullptr;
  size_ = capacity_ = mapped_ = 0;
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
  if (mapped >= huge_page_worthy) {
    ::madvise(start, mapped, MADV_HUGEPAGE);
  }
  const std::size_t kept = size_;
  if (data_ != nullptr) {
    std::memcpy(start, data_, kept);
    ::munmap(data_, mapped_);
  }
  data_ = static_cast<char*>(start);
  size_ = kept;
  mapped_ = mapped;
  capacity_ = mapped - padding;
}

void ReadBuffer::set_size(std::size_t size) {
  size_ = size;
  std::memset(data_ + size_, 0, padding);
}

void ReadBuffer::clear() {
  if (data_ != nullptr) {
    // Pages given back read as zeros, so the padding after an empty text stays zeroed.
    ::madvise(data_, mapped_, MADV_DONTNEED);
  }
  size_ = 0;
}

}  // namespace qm
