#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace qm::testing {

// The public JSON parser test suite (y_ valid, n_ invalid, i_ either): the folder named by
// QM_JSON_TEST_SUITE, else the copy beside the checkout, else the workspace's shared copy; none
// when this machine has no copy of it.
inline std::optional<std::filesystem::path> json_test_suite_folder() {
  std::vector<std::filesystem::path> candidates;
  if (const char* configured = std::getenv("QM_JSON_TEST_SUITE")) {
    candidates.emplace_back(configured);
  }
  candidates.push_back(std::filesystem::path(QM_SOURCE_DIR).parent_path() / "shared" /
                       "jsontestsuite");
  candidates.emplace_back("/work/shared/jsontestsuite");
  for (const std::filesystem::path& folder : candidates) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
      return folder;
    }
  }
  return std::nullopt;
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
