#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qm::demo::test {

// A fresh folder for one test's files.
inline std::filesystem::path scratch_folder(const std::string& name) {
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / ("demo_backend_" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace qm::demo::test
