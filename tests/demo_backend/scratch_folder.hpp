#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace qm::demo::test {

// A fresh folder for one test's files. Tests run in processes side by side, so the folder's name
// carries the process id: two tests of one name never clear each other's files.
inline std::filesystem::path scratch_folder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) /
                                       ("demo_backend_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace qm::demo::test
