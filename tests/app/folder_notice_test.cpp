#include "app/folder_notice.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "support/session_on_disk.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::TempDir;
using testing::write_file;

bool readable(int descriptor) {
  pollfd entry{descriptor, POLLIN, 0};
  return ::poll(&entry, 1, 0) == 1;
}

void set_modified(const std::string& path, long seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct NoticeCase {
  std::string name;
  std::function<void(const TempDir&)> change;
  FileNotice expected;
};

class FolderNoticeTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(FolderNoticeTest, SaysWhatHappenedToTheFileAndNothingElse) {
  TempDir dir;
  write_file(dir.file("session.json"), "{}");
  write_file(dir.file("other.json"), "{}");
  FolderNotice notice = FolderNotice::watch(dir.file("session.json"));
  ASSERT_GE(notice.descriptor(), 0);
  GetParam().change(dir);
  EXPECT_EQ(notice.drain(), GetParam().expected);
  EXPECT_FALSE(readable(notice.descriptor())) << "everything read at once";
  EXPECT_EQ(notice.drain(), FileNotice::none);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FolderNoticeTest,
    ::testing::Values(
        NoticeCase{"RenameOverTheFile",
                   [](const TempDir& dir) {
                     write_file(dir.file("session.json.new"), "{\"a\":1}");
                     std::filesystem::rename(dir.file("session.json.new"),
                                             dir.file("session.json"));
                   },
                   FileNotice::touched},
        NoticeCase{"WrittenInPlace",
                   [](const TempDir& dir) { write_file(dir.file("session.json"), "[]"); },
                   FileNotice::rewritten},
        NoticeCase{"BurstOfRenamesIsOneNotice",
                   [](const TempDir& dir) {
                     for (int i = 0; i < 50; ++i) {
                       write_file(dir.file("next"), std::to_string(i));
                       std::filesystem::rename(dir.file("next"), dir.file("session.json"));
                     }
                   },
                   FileNotice::touched},
        NoticeCase{"Deleted",
                   [](const TempDir& dir) { std::filesystem::remove(dir.file("session.json")); },
                   FileNotice::touched},
        NoticeCase{"RenamedAway",
                   [](const TempDir& dir) {
                     std::filesystem::rename(dir.file("session.json"), dir.file("kept.json"));
                   },
                   FileNotice::touched},
        NoticeCase{"Touched", [](const TempDir& dir) { set_modified(dir.file("session.json"), 5); },
                   FileNotice::touched},
        NoticeCase{"OtherFilesWrittenAndRenamed",
                   [](const TempDir& dir) {
                     write_file(dir.file("other.json"), "[1]");
                     write_file(dir.file("session.json.tmp"), "[2]");
                     std::filesystem::rename(dir.file("session.json.tmp"), dir.file("x.json"));
                     std::filesystem::remove(dir.file("x.json"));
                     set_modified(dir.file("other.json"), 5);
                   },
                   FileNotice::none},
        NoticeCase{"NameThatOnlyBeginsAlike",
                   [](const TempDir& dir) { write_file(dir.file("session.json~"), "{}"); },
                   FileNotice::none},
        NoticeCase{"ReadOnly",
                   [](const TempDir& dir) {
                     const int fd = ::open(dir.file("session.json").c_str(), O_RDONLY);
                     char byte = 0;
                     ASSERT_EQ(::read(fd, &byte, 1), 1);
                     ::close(fd);
                   },
                   FileNotice::none}),
    [](const ::testing::TestParamInfo<NoticeCase>& param_info) { return param_info.param.name; });

TEST(FolderNotice, NoFolderNoNoticesAndAGoneFolderEndsThem) {
  TempDir dir;
  EXPECT_EQ(FolderNotice::watch(dir.file("missing/session.json")).descriptor(), -1);
  EXPECT_EQ(FolderNotice::watch(dir.file("session.json/")).descriptor(), -1);

  const std::filesystem::path folder = dir.path() / "sub";
  std::filesystem::create_directory(folder);
  write_file((folder / "session.json").string(), "{}");
  FolderNotice notice = FolderNotice::watch((folder / "session.json").string());
  ASSERT_GE(notice.descriptor(), 0);
  std::filesystem::remove_all(folder);
  EXPECT_NE(notice.drain(), FileNotice::none);
  // The watch ended with its folder: the caller polls from now on.
  EXPECT_EQ(notice.descriptor(), -1);
  EXPECT_EQ(notice.drain(), FileNotice::none);
}

// The watch over a real file: notices make it reload even when the time stays the same, and
// without them the time still does.
nlohmann::json named(const std::string& label) {
  return {{"schema", "quillmesh.terminal-session/1"},
          {"entities", nlohmann::json::array()},
          {"current", {{"label", label}}}};
}

std::string label_of(const AppState& state) {
  return std::string(state.document().find("current")->find("label")->string());
}

TEST(SessionWatchNotice, RenameOverTheFileReloadsEvenAtTheSameTime) {
  testing::SessionOnDisk disk(named("first"));
  disk.watch.notice = FolderNotice::watch(disk.path);
  ASSERT_GE(disk.watch.wake_descriptor(), 0);
  const std::string fresh = disk.dir.file("session.json.new");
  write_file(fresh, named("second").dump());
  set_modified(fresh, 1000);
  std::filesystem::rename(fresh, disk.path);
  ASSERT_TRUE(readable(disk.watch.wake_descriptor()));
  EXPECT_TRUE(disk.watch.check(disk.state));
  EXPECT_EQ(label_of(disk.state), "second");
  EXPECT_FALSE(readable(disk.watch.wake_descriptor()));
  EXPECT_FALSE(disk.watch.check(disk.state));
}

TEST(SessionWatchNotice, OtherFilesInTheFolderReloadNothing) {
  testing::SessionOnDisk disk(named("first"));
  disk.watch.notice = FolderNotice::watch(disk.path);
  write_file(disk.dir.file("other.json"), named("other").dump());
  ASSERT_TRUE(readable(disk.watch.wake_descriptor()));
  EXPECT_FALSE(disk.watch.check(disk.state));
  EXPECT_EQ(label_of(disk.state), "first");
  EXPECT_FALSE(readable(disk.watch.wake_descriptor()));
}

TEST(SessionWatchNotice, WithoutNoticesTheModificationTimeStillReloads) {
  testing::SessionOnDisk disk(named("first"));
  ASSERT_EQ(disk.watch.wake_descriptor(), -1);
  disk.rewrite(named("second"), 2000);
  EXPECT_TRUE(disk.watch.check(disk.state));
  EXPECT_EQ(label_of(disk.state), "second");
  EXPECT_FALSE(disk.watch.check(disk.state));
}

}  // namespace
}  // namespace qm
