#include "input/filter_entry.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "model/limits.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::dispatch_document;
using testing::key;
using testing::lines_of;
using testing::press;
using testing::read_file;
using testing::state_of;
using testing::TempDir;
using tui::KeyCode;

TEST(FilterEntry, TypingNarrowsTheRowsAndEnterKeepsTheFilter) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(dispatch_document(), View::topics, channel);
  state.filter = "old";
  handle_key(state, key(U'/'));
  EXPECT_TRUE(state.filter_entry);
  EXPECT_EQ(state.filter, "");

  state.status = "Requested refresh; awaiting backend status";
  for (char32_t c : {U'C', U'M', U'D'}) {
    handle_key(state, key(c));
  }
  EXPECT_EQ(state.filter, "CMD");
  ASSERT_EQ(state.rows.size(), 1u);
  EXPECT_EQ(state.selected_id, "topic:/cmd_vel");
  EXPECT_EQ(state.status, "Requested refresh; awaiting backend status");

  press(state, {key(KeyCode::backspace), key(KeyCode::backspace), key(KeyCode::backspace)});
  EXPECT_EQ(state.rows.size(), 2u);
  // Keys without a meaning while typing change nothing; `q` is text here.
  handle_key(state, key(KeyCode::down));
  EXPECT_TRUE(handle_key(state, key(U'q')));
  EXPECT_EQ(state.filter, "q");
  EXPECT_TRUE(state.rows.empty());
  press(state, {key(KeyCode::backspace), key(U'v'), key(KeyCode::enter)});
  EXPECT_FALSE(state.filter_entry);
  EXPECT_EQ(state.filter, "v");
  ASSERT_EQ(state.rows.size(), 1u);

  // One save per change of the filter: C, CM, CMD, CM, C, "", q, "", v. Starting the entry saved
  // nothing, as the cleared filter is the one last saved.
  const std::vector<std::string> lines = lines_of(channel->from(state).text);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], R"({"action":"save_view","filter":"C","selected_id":"topic:/scan","tab":2})");
  EXPECT_EQ(lines[1],
            R"({"action":"save_view","filter":"CM","selected_id":"topic:/cmd_vel","tab":2})");
  EXPECT_EQ(lines[6], R"({"action":"save_view","filter":"q","selected_id":"","tab":2})");
  EXPECT_EQ(lines[8],
            R"({"action":"save_view","filter":"v","selected_id":"topic:/cmd_vel","tab":2})");
}

TEST(FilterEntry, EscDropsTheFilterAndRefusedCharactersAreIgnored) {
  AppState state = state_of(dispatch_document(), View::topics);
  press(state,
        {key(U'/'), key(U'\x1b'), key(U'\u202E'), key(U'\u0085'), testing::control_key(U'x')});
  EXPECT_EQ(state.filter, "");
  press(state, {key(U'é'), key(U'界')});
  EXPECT_EQ(state.filter, "é界");
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.filter, "é");
  handle_key(state, key(KeyCode::escape));
  EXPECT_FALSE(state.filter_entry);
  EXPECT_EQ(state.filter, "");
  EXPECT_EQ(state.rows.size(), 2u);

  // The filter holds at most 256 characters, counted as characters and not bytes.
  handle_key(state, key(U'/'));
  for (std::size_t i = 0; i < limits::filter_length; ++i) {
    handle_key(state, key(U'é'));
  }
  handle_key(state, key(U'a'));
  EXPECT_EQ(state.filter.size(), 2 * limits::filter_length);
  EXPECT_EQ(state.filter.substr(state.filter.size() - 2), "é");
}

}  // namespace
}  // namespace qm
