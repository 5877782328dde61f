#include "clocked_document.hpp"

#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "session_generator.hpp"

namespace qm::soak {

namespace {

constexpr std::string_view updated_key = R"("updated_at":")";
// The clock's place in the header, "updated HH:MM:SS".
constexpr std::string_view clock_label = "updated ";

}  // namespace

std::string clock_of(std::size_t index) {
  return fmt::format("{:02}:{:02}:{:02}", index / 3600 % 24, index / 60 % 60, index % 60);
}

std::optional<std::size_t> shown_rename(const std::string& top_row) {
  const std::size_t at = top_row.find(clock_label);
  if (at == std::string::npos || top_row.size() < at + clock_label.size() + 8) {
    return std::nullopt;
  }
  const std::string_view clock = std::string_view(top_row).substr(at + clock_label.size(), 8);
  const auto digits = [&](std::size_t offset) -> std::optional<std::size_t> {
    if (clock[offset] < '0' || clock[offset] > '9' || clock[offset + 1] < '0' ||
        clock[offset + 1] > '9') {
      return std::nullopt;
    }
    return static_cast<std::size_t>((clock[offset] - '0') * 10 + (clock[offset + 1] - '0'));
  };
  const auto hours = digits(0);
  const auto minutes = digits(3);
  const auto seconds = digits(6);
  if (!hours || !minutes || !seconds) {
    return std::nullopt;
  }
  return *hours * 3600 + *minutes * 60 + *seconds;
}

ClockedDocument::ClockedDocument(std::uint64_t seed)
    : text(bench::generate_session_document(document_bytes, seed)) {
  clock_at = text.find(updated_key) + updated_key.size() + 11;
}

void ClockedDocument::insert_member(std::string_view member) {
  text.insert(1, std::string(member) + ",");
  clock_at += member.size() + 1;
}

void ClockedDocument::write(const std::filesystem::path& path, std::size_t index) {
  text.replace(clock_at, 8, clock_of(index));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(2);
  }
}

}  // namespace qm::soak
