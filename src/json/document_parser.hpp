#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <memory>
#include <string_view>

#include "base/error.hpp"
#include "json/json.hpp"
#include "json/read_buffer.hpp"

namespace qm {

// Arrays and objects may nest this deep; one level more is refused as a syntax error.
inline constexpr std::size_t json_depth_limit = 128;

// Turns JSON text into documents. It keeps its read buffer, its parser's index and its child
// stack from one document to the next, so parsing again reuses their room instead of asking the
// system again; their pages go back to the kernel between documents.
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
  // Fills a buffer with the same text once more.
  using ReadAgain = std::function<std::expected<void, Error>(ReadBuffer&)>;
  // The buffer that `parse_buffer` reads: fill it, then parse it without a copy. The parse gives
  // the buffer's pages back as it goes and leaves it empty. For the rare text the fast path gives
  // up on halfway, `read_again` fills the buffer anew for the careful path.
  ReadBuffer& buffer();
  std::expected<DocumentPtr, Error> parse_buffer(const ReadAgain& read_again);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// One parse with a parser of its own.
std::expected<DocumentPtr, Error> parse_document(std::string_view text);

}  // namespace qm
