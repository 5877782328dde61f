#pragma once

#include <cstdint>
#include <deque>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "launch_builder.hpp"

namespace qm::demo {

// What the viewer asked for in a launch_log request. The text members are kept as sent, so the
// page can echo them exactly and the viewer recognises it as the answer to its settings.
struct PageRequest {
  std::uint64_t start = 0;
  std::uint64_t limit = 23;
  nlohmann::json query = "";
  nlohmann::json severity = "all";
  nlohmann::json context = 0;
};

// The launch output the backend keeps, growing as the launch writes. Lines are numbered from 1
// since the launch started; past `capacity` the oldest lines are dropped.
class RetainedLog {
 public:
  explicit RetainedLog(std::size_t capacity = 50000) : capacity_(capacity) {}

  void append(LogLine line);

  std::size_t retained() const { return lines_.size(); }
  std::uint64_t dropped() const { return dropped_; }
  std::uint64_t bytes() const { return bytes_; }
  std::size_t count(std::string_view severity) const;
  // SHA-256 of the retained text, each line ended by a line feed.
  const std::string& digest() const;

  // runtime.launch_log_page for the request; `path` is runtime.launch.log.
  nlohmann::json page(const PageRequest& request, const nlohmann::json& path) const;

 private:
  std::size_t capacity_;
  std::deque<LogLine> lines_;
  std::uint64_t dropped_ = 0;
  std::uint64_t bytes_ = 0;
  mutable std::optional<std::string> digest_;
};

}  // namespace qm::demo
