#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

namespace qm::testing {

// The public JSON parser test suite (y_ valid, n_ invalid, i_ either) kept beside the checkout,
// or none when this machine has no copy of it.
inline std::optional<std::filesystem::path> json_test_suite_folder() {
  const std::filesystem::path folder =
      std::filesystem::path(QM_SOURCE_DIR).parent_path() / "shared" / "jsontestsuite";
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    return std::nullopt;
  }
  return folder;
}

// The suite's .json files in name order.
inline std::vector<std::filesystem::path> json_test_suite_files(
    const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".json") {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace qm::testing
