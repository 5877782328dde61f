#include "app/request_file.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(RequestFile, AppendsLinesAndNeverGrowsPastOneMebibyte) {
  TempDir dir;
  const std::string path = dir.file("requests.jsonl");
  RequestFile file(path);
  ASSERT_TRUE(file.append("{\"a\":1}\n").has_value());
  ASSERT_TRUE(file.append("{\"b\":2}\n").has_value());
  EXPECT_EQ(read_file(path), "{\"a\":1}\n{\"b\":2}\n");

  write_file(path, std::string(1'048'000, 'x'));
  EXPECT_EQ(file.append(std::string(577, 'y')).error(),
            "Request channel reached 1 MiB; reopen this session to reset it");
  EXPECT_EQ(std::filesystem::file_size(path), 1'048'000u);
  EXPECT_TRUE(file.append(std::string(576, 'y')).has_value());
  EXPECT_EQ(std::filesystem::file_size(path), 1'048'576u);
}

TEST(RequestFile, RefusesWhatIsNotARegularFileWithoutBlocking) {
  TempDir dir;
  EXPECT_EQ(RequestFile(dir.file("missing/requests.jsonl")).append("{}\n").error(),
            "No such file or directory (os error 2)");
  EXPECT_EQ(RequestFile(dir.path().string()).append("{}\n").error(),
            "Is a directory (os error 21)");
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Without a reader the open fails at once instead of waiting for one.
  EXPECT_EQ(RequestFile(fifo).append("{}\n").error(), "No such device or address (os error 6)");
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(RequestFile(fifo).append("{}\n").error(), "Request channel must be a regular file");
  char byte = 0;
  EXPECT_LT(::read(reader, &byte, 1), 1);
  ::close(reader);
}

// A write cut short by the file size limit leaves the channel as it was before the request.
TEST(RequestFileDeathTest, AFailedWriteLeavesNoPartOfTheLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempDir dir;
  const std::string path = dir.file("requests.jsonl");
  write_file(path, "{\"a\":1}\n");
  const auto append_past_the_limit = [&path] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 20;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto outcome = RequestFile(path).append("{\"action\":\"refresh\"}\n");
    const bool sound = !outcome && outcome.error() == "File too large (os error 27)" &&
                       read_file(path) == "{\"a\":1}\n";
    std::exit(sound ? 0 : 1);
  };
  EXPECT_EXIT(append_past_the_limit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace qm
