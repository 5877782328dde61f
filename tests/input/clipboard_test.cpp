#include "input/clipboard.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "model/row_selection.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using nlohmann::json;

TEST(Clipboard, CopiesTheDisplaySafeCheckCommand) {
  json document = testing::dispatch_document();
  auto& findings = document["problems"]["findings"];
  findings[0]["verify"] = "ros2 topic hz /scan\x1b[2J";
  findings[1]["verify"] = "";
  findings.push_back({{"id", "problem:launch"},
                      {"severity", "error"},
                      {"detector", "launch"},
                      {"verify", "ros2 launch x"}});
  findings.push_back({{"id", "problem:two-lines"},
                      {"severity", "warning"},
                      {"verify", "ros2 topic list\nrm -rf ~/ws"}});
  AppState state = testing::state_of(document);
  const struct {
    std::string_view id;
    std::optional<std::string> copied;
    std::string status;
  } cases[] = {
      {"health:summary", std::nullopt, "Select a problem to copy its check command"},
      {"problem:launch", std::nullopt, "Press L to open the retained launch log"},
      {"problem:stale-scan", "ros2 topic hz /scan\uFFFD[2J",
       "Copied to the terminal clipboard: ros2 topic hz /scan\uFFFD[2J (if your terminal blocks "
       "OSC 52, copy it from the inspector)"},
      {"problem:two-lines", std::nullopt,
       "The check command spans several lines; copy it from the inspector"},
      {"problem:ghost", "",
       "Copied to the terminal clipboard:  (if your terminal blocks OSC 52, copy it from the "
       "inspector)"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(select_row_by_id(state, c.id)) << c.id;
    state.outbox.clipboard.reset();
    handle_key(state, testing::key(U'y'));
    EXPECT_EQ(state.outbox.clipboard, c.copied) << c.id;
    EXPECT_EQ(state.status, c.status) << c.id;
  }
}

}  // namespace
}  // namespace qm
