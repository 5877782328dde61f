#pragma once

#include <cstddef>
#include <string>

#include "app/request_writer.hpp"

namespace qm {

// The request channel never grows past this many bytes (1 MiB).
inline constexpr std::size_t request_channel_limit = 1'048'576;

// The request channel file: opened anew for every line, created when missing (mode 0666 less the
// umask), and never grown past the limit.
class RequestFile final : public RequestWriter {
 public:
  explicit RequestFile(std::string path) : path_(std::move(path)) {}
  std::expected<void, std::string> append(std::string_view line) override;

 private:
  std::string path_;
};

}  // namespace qm
