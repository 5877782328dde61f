#pragma once

#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

namespace qm::demo {

// Replaces the file at `path` with `text` in one step: the text goes to a new file in the same
// folder, which is then renamed over the old one, so a reader sees the old or the new file
// whole and never a half-written one. The error names what failed.
std::expected<void, std::string> write_atomically(const std::filesystem::path& path,
                                                  std::string_view text);

}  // namespace qm::demo
