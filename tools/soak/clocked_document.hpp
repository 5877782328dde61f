#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qm::soak {

// The generated documents' size: just under the session file limit.
inline constexpr std::size_t document_bytes = 31 * 1024 * 1024;

// The clock text of rename `index`: seconds after midnight, so each one in a day differs.
std::string clock_of(std::size_t index);

// The highest rename whose clock the header's `top_row` shows, if any.
std::optional<std::size_t> shown_rename(const std::string& top_row);

// A generated document whose update time sits at a known place, rewritten for each rename.
struct ClockedDocument {
  std::string text;
  std::size_t clock_at = 0;

  explicit ClockedDocument(std::uint64_t seed);
  // Puts `member` ("name":value) first in the top-level object.
  void insert_member(std::string_view member);
  // Writes the document with the clock of rename `index` to `path`; exits on a failure.
  void write(const std::filesystem::path& path, std::size_t index);
};

}  // namespace qm::soak
