#pragma once

#include <optional>
#include <string>

#include "app/core/request_writer.hpp"

namespace qm::testing {

// A request channel in memory: the lines written so far, or a failure to give instead.
struct MemoryRequests final : RequestWriter {
  std::string text;
  std::optional<std::string> failure;

  std::expected<void, std::string> append(std::string_view line) override {
    if (failure) {
      return std::unexpected(*failure);
    }
    text += line;
    return {};
  }
};

}  // namespace qm::testing
