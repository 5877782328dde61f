#include "input/command_palette.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "model/palette_candidates.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;
using testing::lines_of;
using testing::press;
using testing::state_of;
using tui::KeyCode;

json entity(std::string_view kind, std::string_view name) {
  return {{"id", std::string(kind) + ":" + std::string(name)}, {"kind", kind}, {"name", name}};
}

json palette_document() {
  return {{"entities",
           {entity("topic", "/robot/scan"), entity("node", "/scanner"), entity("topic", "/scan"),
            entity("topic", "/map"), entity("node", "/lidar/scan_filter")}},
          {"problems",
           {{"findings",
             {{{"id", "problem:qos:/scan"}, {"severity", "error"}, {"title", "Scan QoS"}}}}}},
          {"current", {{"tf", {{"edges", {{{"parent", "map"}, {"child", "scan_link"}}}}}}}}};
}

std::vector<std::string> labels_of(const AppState& state, std::string_view query) {
  std::vector<std::string> labels;
  for (const PaletteCandidate& candidate : palette_matches(state, query)) {
    labels.push_back(candidate.label + " · " + std::string(candidate.kind) + " " + candidate.hint);
  }
  return labels;
}

TEST(PaletteMatches, TiersThenLengthThenGatheringOrder) {
  const AppState state = state_of(palette_document());
  const struct {
    std::string_view query;
    std::vector<std::string> labels;
  } cases[] = {
      // Labels beginning with the query, shortest first; then those whose last segment does
      // (entities in document order on equal length); then those merely containing it.
      {"SCAN",
       {"Scan QoS · problem ", "scan_link · frame ", "/scan · topic ", "/scanner · node ",
        "/robot/scan · topic ", "/lidar/scan_filter · node "}},
      {"ma", {"map · frame ", "/map · topic "}},
      {"  re ",
       {"Results view · view 7", "Refresh the capture · action r", "Capture view · view 9",
        "Switch baseline / current · action b"}},
      {"zzz", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(labels_of(state, c.query), c.labels) << c.query;
  }
  // Blank queries offer the views in order, then the first commands, twelve in all.
  for (const std::string_view blank : {"", "   "}) {
    const std::vector<std::string> labels = labels_of(state, blank);
    ASSERT_EQ(labels.size(), 12u);
    EXPECT_EQ(labels.front(), "Health view · view 1");
    EXPECT_EQ(labels[9], "Project view · view 0");
    EXPECT_EQ(labels[11], "Open the launch log · action L");
  }
}

TEST(PaletteKeys, TypingChoosingAndRunning) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(palette_document(), View::health, channel);
  handle_key(state, key(U':'));
  ASSERT_TRUE(state.palette);
  // Down past the list stays on the last match; the query keeps its spaces.
  press(state, {key(U' '), key(U'/'), key(U'm'), key(KeyCode::down), key(KeyCode::down)});
  EXPECT_EQ(state.palette->query, " /m");
  EXPECT_EQ(state.palette->selected, 0u);
  EXPECT_TRUE(handle_key(state, key(KeyCode::enter)));
  EXPECT_FALSE(state.palette);
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(state.selected_id, "topic:/map");

  // A view choice goes there with a clean slate and can be gone back from.
  press(state, {key(U':'), key(U'n'), key(U'o'), key(U'd'), key(U'e'), key(U's'), key(U' ')});
  press(state, {key(U'v'), key(KeyCode::enter)});
  EXPECT_EQ(state.view, View::nodes);
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.view, View::topics);

  // 128 characters at most; Backspace removes whole characters.
  handle_key(state, key(U':'));
  for (int i = 0; i < 130; ++i) {
    handle_key(state, key(U'é'));
  }
  EXPECT_EQ(state.palette->query.size(), 256u);
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.palette->query.size(), 254u);
  // No match: Enter only closes.
  EXPECT_TRUE(handle_key(state, key(KeyCode::enter)));
  EXPECT_FALSE(state.palette);
  EXPECT_EQ(state.view, View::topics);

  // A command runs as its key; Quit stops after saving the view.
  press(state, {key(U':'), key(U'q'), key(U'u'), key(U'i')});
  channel->from(state).text.clear();
  EXPECT_FALSE(handle_key(state, key(KeyCode::enter)));
  EXPECT_EQ(lines_of(channel->from(state).text).size(), 0u);  // the view state was saved before
}

}  // namespace
}  // namespace qm
