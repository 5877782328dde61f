#include "atomic_writer.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "scratch_folder.hpp"

namespace qm::demo::test {
namespace {

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DemoAtomicWriter, ReplacesTheFileWholeAndLeavesNothingBeside) {
  const std::filesystem::path folder = scratch_folder("writer");
  const std::filesystem::path path = folder / "session.json";
  std::ofstream(path) << "a much longer old document";
  ASSERT_TRUE(write_atomically(path, "{}\n").has_value());
  EXPECT_EQ(read_file(path), "{}\n");
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777U, 0644U);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);

  const auto missing = write_atomically(folder / "no" / "such" / "session.json", "{}");
  ASSERT_FALSE(missing.has_value());
  EXPECT_NE(missing.error().find("cannot create"), std::string::npos);
}

}  // namespace
}  // namespace qm::demo::test
