#include <fmt/format.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"
#include "support/tmux_session.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;
using testing::TmuxSession;

// The demo backend and the viewer on its document, wide enough for the header's update time; the
// backend's process id goes to `folder`/backend.pid.
std::string viewer_over_backend(const std::string& folder) {
  const std::string build = std::filesystem::path(QM_BINARY).parent_path().string();
  const std::string files =
      " --session " + folder + "/session.json --requests " + folder + "/requests.jsonl";
  return build + "/quillmesh-demo-backend" + files + " & echo $! > " + folder +
         "/backend.pid; while [ ! -s " + folder + "/session.json ]; do sleep 0.05; done; " +
         "COLORTERM=truecolor " + QM_BINARY + files + "; sleep 60";
}

TEST(StaleBackend, AStoppedBackendsUpdateTimeShowsItsAgeInTheWarnColour) {
  TempDir dir;
  const std::string folder = dir.file("demo");
  std::filesystem::create_directory(folder);
  TmuxSession tmux(viewer_over_backend(folder), 200, 40);
  ASSERT_TRUE(tmux.wait_for_text("│ updated ", 10000ms)) << tmux.screen();
  const pid_t backend = std::stoi(testing::read_file(folder + "/backend.pid"));
  ASSERT_EQ(::kill(backend, SIGTERM), 0);

  // Thirty seconds after the last rewrite, and a few for a loaded machine.
  ASSERT_TRUE(tmux.wait_for_text(" s ago", 35000ms)) << tmux.screen();
  const std::string styled = tmux.styled_screen();
  const std::string header = styled.substr(0, styled.find('\n'));
  const std::string warn =
      fmt::format("\x1b[38;2;{};{};{}mupdated ", palette::warn.r, palette::warn.g, palette::warn.b);
  EXPECT_NE(header.find(warn), std::string::npos) << header;
  EXPECT_NE(header.find("● LIVE"), std::string::npos) << header;
}

}  // namespace
}  // namespace qm
