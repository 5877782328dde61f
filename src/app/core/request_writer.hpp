#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace qm {

// Where request lines go. The viewer sets one up at start over the request channel file; tests
// keep the lines in memory. Without one, requests fail with "No request channel configured".
class RequestWriter {
 public:
  virtual ~RequestWriter() = default;
  // Appends one whole line, line feed included, or fails with the reason shown after
  // "Request failed: ".
  virtual std::expected<void, std::string> append(std::string_view line) = 0;
};

}  // namespace qm
