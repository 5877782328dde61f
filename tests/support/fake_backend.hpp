#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "tui/backend.hpp"

namespace test_support {

// What a FakeBackend saw, shared with the test so it outlives the terminal that owns the backend.
struct FakeTerminalRecord {
  std::string written;
  int writes = 0;
  int flushes = 0;
  tui::Size size{10, 3};
  // When set, every write and flush fails with this error.
  std::optional<std::error_code> failure;

  // The bytes written since the last call.
  std::string take() {
    std::string bytes = std::move(written);
    written.clear();
    return bytes;
  }
};

// An output backend that records bytes instead of writing them to a terminal.
class FakeBackend final : public tui::OutputBackend {
 public:
  explicit FakeBackend(std::shared_ptr<FakeTerminalRecord> record) : record_(std::move(record)) {}

  std::expected<void, std::error_code> write(std::string_view bytes) override {
    if (record_->failure) {
      return std::unexpected(*record_->failure);
    }
    ++record_->writes;
    record_->written += bytes;
    return {};
  }
  std::expected<void, std::error_code> flush() override {
    if (record_->failure) {
      return std::unexpected(*record_->failure);
    }
    ++record_->flushes;
    return {};
  }
  std::expected<tui::Size, std::error_code> size() override { return record_->size; }

 private:
  std::shared_ptr<FakeTerminalRecord> record_;
};

}  // namespace test_support
