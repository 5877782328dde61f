#pragma once

#include <cstddef>
#include <expected>
#include <memory>
#include <string_view>

#include "base/error.hpp"
#include "json/json.hpp"

namespace qm {

// Arrays and objects may nest this deep; one level more is refused as a syntax error.
inline constexpr std::size_t json_depth_limit = 128;

// A reusable buffer for the bytes of a document, with the spare room after them that the parser
// reads past the end in wide blocks. Big buffers come from the kernel, advised as huge pages.
class ReadBuffer {
 public:
  ReadBuffer() = default;
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

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t mapped_ = 0;
};

// Turns JSON text into documents. It keeps its parser and input buffer from one document to the
// next, so parsing again reuses their memory instead of asking the system again.
class DocumentParser {
 public:
  DocumentParser();
  DocumentParser(DocumentParser&&) noexcept;
  DocumentParser& operator=(DocumentParser&&) noexcept;
  ~DocumentParser();

  // Parses one JSON value (no schema test). Syntax errors and documents nested deeper than
  // `json_depth_limit` fail with a JSON syntax error carrying line and column; memory running
  // out fails with ENOMEM.
  std::expected<DocumentPtr, Error> parse(std::string_view text);
  // The buffer that `parse_buffer` reads: fill it, then parse it without a copy.
  ReadBuffer& buffer();
  std::expected<DocumentPtr, Error> parse_buffer();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// One parse with a parser of its own.
std::expected<DocumentPtr, Error> parse_document(std::string_view text);

}  // namespace qm
