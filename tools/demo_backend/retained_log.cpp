#include "retained_log.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <vector>

#include "sha256.hpp"

namespace qm::demo {

namespace {

int rank(std::string_view severity) {
  if (severity == "error") {
    return 2;
  }
  return severity == "warning" ? 1 : 0;
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool contains_folded(std::string_view text, std::string_view folded_query) {
  const auto found = std::search(text.begin(), text.end(), folded_query.begin(), folded_query.end(),
                                 [](char a, char b) { return lower(a) == b; });
  return found != text.end();
}

std::string dropped_note(std::uint64_t dropped) {
  return dropped == 0 ? "nothing dropped" : fmt::format("{} older lines dropped", dropped);
}

}  // namespace

void RetainedLog::append(LogLine line) {
  bytes_ += line.text.size() + 1;
  lines_.push_back(std::move(line));
  while (lines_.size() > capacity_) {
    bytes_ -= lines_.front().text.size() + 1;
    lines_.pop_front();
    ++dropped_;
  }
  digest_.reset();
}

std::size_t RetainedLog::count(std::string_view severity) const {
  return static_cast<std::size_t>(
      std::count_if(lines_.begin(), lines_.end(),
                    [&](const LogLine& line) { return line.severity == severity; }));
}

const std::string& RetainedLog::digest() const {
  if (!digest_) {
    std::string text;
    text.reserve(bytes_);
    for (const LogLine& line : lines_) {
      text += line.text;
      text += '\n';
    }
    digest_ = sha256_hex(text);
  }
  return *digest_;
}

nlohmann::json RetainedLog::page(const PageRequest& request, const nlohmann::json& path) const {
  // Severity is a threshold: "warning" keeps warnings and errors. Unknown words keep everything.
  const std::string severity =
      request.severity.is_string() ? request.severity.get<std::string>() : "all";
  const int threshold = severity == "error" ? 2 : severity == "warning" ? 1 : 0;
  std::string query = request.query.is_string() ? request.query.get<std::string>() : "";
  std::transform(query.begin(), query.end(), query.begin(), lower);
  const bool counted =
      request.context.is_number_integer() && request.context.get<std::int64_t>() >= 0;
  const std::size_t context =
      counted ? std::min<std::uint64_t>(request.context.get<std::uint64_t>(), 20) : 0;
  const bool filtered = threshold > 0 || !query.empty();

  const std::size_t total = lines_.size();
  std::vector<bool> matching(total, false);
  std::vector<bool> shown(total, !filtered);
  std::size_t matches = 0;
  if (filtered) {
    for (std::size_t i = 0; i < total; ++i) {
      const LogLine& line = lines_[i];
      if (rank(line.severity) >= threshold &&
          (query.empty() || contains_folded(line.text, query))) {
        matching[i] = true;
        ++matches;
        const std::size_t first = i >= context ? i - context : 0;
        const std::size_t last = std::min(total - 1, i + context);
        std::fill(shown.begin() + static_cast<std::ptrdiff_t>(first),
                  shown.begin() + static_cast<std::ptrdiff_t>(last) + 1, true);
      }
    }
  }
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < total; ++i) {
    if (shown[i]) {
      order.push_back(i);
    }
  }

  const std::uint64_t limit = std::clamp<std::uint64_t>(request.limit, 1, 500);
  const std::uint64_t start = std::min<std::uint64_t>(request.start, order.size());
  const std::uint64_t end = std::min<std::uint64_t>(start + limit, order.size());
  nlohmann::json lines = nlohmann::json::array();
  for (std::uint64_t k = start; k < end; ++k) {
    const std::size_t i = order[k];
    lines.push_back({{"match", matching[i] && !query.empty()},
                     {"number", dropped_ + i + 1},
                     {"severity", lines_[i].severity},
                     {"text", lines_[i].text}});
  }
  std::string coverage;
  if (order.empty()) {
    coverage =
        fmt::format("no retained line matches; {} retained; {}", total, dropped_note(dropped_));
  } else if (start == end) {
    coverage = fmt::format("past the last of {} lines; {} retained; {}", order.size(), total,
                           dropped_note(dropped_));
  } else if (!filtered) {
    coverage = fmt::format("lines {}–{} of {} retained; {}", start + 1, end, total,
                           dropped_note(dropped_));
  } else {
    coverage = fmt::format("filtered lines {}–{} of {}; {} retained; {}", start + 1, end,
                           order.size(), total, dropped_note(dropped_));
  }
  return {{"at_end", end >= order.size()},
          {"bytes", bytes_},
          {"context", request.context},
          {"coverage", coverage},
          {"lines", lines},
          {"matches", filtered ? matches : 0},
          {"next_start", end < order.size() ? nlohmann::json(end) : nlohmann::json(nullptr)},
          {"path", path},
          {"previous_start",
           start > 0 ? nlohmann::json(start > limit ? start - limit : 0) : nlohmann::json(nullptr)},
          {"query", request.query},
          {"retained_lines", total},
          {"severity", request.severity},
          {"sha256", digest()},
          {"shown_lines", order.size()},
          {"start", start},
          {"status", "ok"}};
}

}  // namespace qm::demo
