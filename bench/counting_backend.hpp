#pragma once

#include <cstddef>
#include <expected>
#include <string_view>
#include <system_error>

#include "tui/backend.hpp"

namespace qm::bench {

// An output backend of a fixed size that only counts the bytes a frame would send.
class CountingBackend final : public tui::OutputBackend {
 public:
  CountingBackend(std::size_t* bytes, tui::Size size) : bytes_(bytes), size_(size) {}
  std::expected<void, std::error_code> write(std::string_view bytes) override {
    *bytes_ += bytes.size();
    return {};
  }
  std::expected<void, std::error_code> flush() override { return {}; }
  std::expected<tui::Size, std::error_code> size() override { return size_; }

 private:
  std::size_t* bytes_;
  tui::Size size_;
};

}  // namespace qm::bench
