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

// Turns JSON text into documents. It keeps its parser's index and child stack from one document
// to the next, so parsing again reuses their memory instead of asking the system again. Each
// document takes over the buffer its text was read into; the next one is read into a new one.
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
  // The buffer that `parse_buffer` reads: fill it, then parse it without a copy. A document
  // parsed from it takes it over, leaving an empty buffer here.
  ReadBuffer& buffer();
  std::expected<DocumentPtr, Error> parse_buffer();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// One parse with a parser of its own.
std::expected<DocumentPtr, Error> parse_document(std::string_view text);

}  // namespace qm
