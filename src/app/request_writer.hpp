#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace qm {

// Where the run loop writes request lines: the request channel file, or lines kept in memory in
// tests.
class RequestWriter {
 public:
  virtual ~RequestWriter() = default;
  // Appends one whole line, line feed included, or fails with the reason shown after
  // "Request failed: ".
  virtual std::expected<void, std::string> append(std::string_view line) = 0;
};

}  // namespace qm
