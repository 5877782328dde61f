#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "frame_fixture.hpp"
#include "model/staleness.hpp"
#include "ui/header.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using namespace std::chrono_literals;
using ui_test::column_of;
using ui_test::frame_document;
using ui_test::state_for;

struct AgeCase {
  std::string name;
  std::chrono::seconds since_load;
  std::string mode;
  // The header's update group, the last one; the age ones are in the warn colour.
  std::string group;
};

TEST(HeaderAge, ALiveDocumentNotRewrittenShowsItsAgeInTheWarnColour) {
  const AgeCase cases[] = {
      {"Fresh", 0s, "live", "updated 14:03:27"},
      {"JustUnder", 29s, "live", "updated 14:03:27"},
      {"AtTheLimit", 30s, "live", "updated 14:03:27 · 30 s ago"},
      {"Seconds", 59s, "live", "updated 14:03:27 · 59 s ago"},
      {"Minutes", 4min + 59s, "live", "updated 14:03:27 · 4 min ago"},
      {"Hours", 2h + 59min, "live", "updated 14:03:27 · 2 h ago"},
      {"SavedShowsNoAge", 4min, "saved", "updated 14:03:27"},
  };
  for (const AgeCase& test : cases) {
    SCOPED_TRACE(test.name);
    nlohmann::json document = frame_document();
    document["mode"] = test.mode;
    AppState state = state_for(document, View::health);
    state.loaded_at = std::chrono::steady_clock::time_point(1000h);
    state.now = state.loaded_at + test.since_load;

    tui::Buffer buffer(tui::Rect{0, 0, 200, 1});
    draw_header(buffer, buffer.area(), state);
    const std::string row = buffer.row_text(0);
    // The last group; blanks up to the backend status follow it.
    ASSERT_NE(row.find("│ " + test.group + "   "), std::string::npos) << row;
    const bool aged = test.group.find("ago") != std::string::npos;
    EXPECT_EQ(stale_age_text(state).has_value(), aged);
    const tui::Color colour = aged ? palette::warn : palette::text_dim;
    EXPECT_EQ(buffer.at(column_of(buffer, 0, "updated"), 0).fg, colour);
    EXPECT_EQ(buffer.at(column_of(buffer, 0, "14:03:27"), 0).fg, colour);
    // Nothing before the update group changes with the age.
    state.now = state.loaded_at;
    tui::Buffer fresh(tui::Rect{0, 0, 200, 1});
    draw_header(fresh, fresh.area(), state);
    const std::string before_group = row.substr(0, row.find("updated"));
    EXPECT_TRUE(fresh.row_text(0).starts_with(before_group)) << fresh.row_text(0);
  }
}

}  // namespace
}  // namespace qm
