#include "input/assistant_controls.hpp"

#include <gtest/gtest.h>

#include "input/dispatch_document.hpp"
#include "model/row_selection.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;
using testing::lines_of;
using testing::press;
using tui::KeyCode;

json assistant_document() {
  json document = testing::dispatch_document();
  document["product_mode"] = "ai-assisted";
  document["assistant"] = {{"connections", {{{"id", "a"}}, {{"id", "b"}}, {{"id", "c"}}}},
                           {"connection", {{"id", "b"}}},
                           {"pending_approval", {{"id", "ap-1"}}}};
  return document;
}

// The action and the members other than the ones every request carries.
std::vector<std::string> requests_of(const std::string& text) {
  std::vector<std::string> out;
  for (const std::string& line : lines_of(text)) {
    json request = json::parse(line);
    if (request["action"] == "save_view") {
      continue;
    }
    request.erase("entity_id");
    request.erase("side");
    out.push_back(request.dump());
  }
  return out;
}

TEST(AssistantKeys, RequestsApprovalsConnectionsAndPrompt) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = testing::state_of(assistant_document(), View::results, channel);
  ASSERT_TRUE(select_row_by_id(state, "check:r-1:1"));
  handle_key(state, key(U'A'));
  ASSERT_TRUE(state.assistant.open);
  EXPECT_EQ(state.assistant.connection_choice, 1u);
  press(state, {key(U'p'), key(U'p'), key(U'y'), key(U'n'), key(U'm'), key(U's'), key(U'K')});
  // A prompt of spaces is not sent; the prompt outlives sending and is edited again with i.
  press(state, {key(U'i'), key(U' '), key(KeyCode::enter)});
  EXPECT_TRUE(state.assistant.composing);
  press(state, {key(KeyCode::backspace), key(U'h'), key(U'i'), key(KeyCode::enter)});
  EXPECT_FALSE(state.assistant.composing);
  press(state, {key(U'i'), key(U'!'), key(KeyCode::escape)});
  EXPECT_EQ(state.assistant.prompt, "hi!");
  EXPECT_EQ(requests_of(channel->from(state).text),
            (std::vector<std::string>{
                R"({"action":"ai_connection","connection_id":"c"})",
                R"({"action":"ai_connection","connection_id":"a"})",
                R"({"action":"ai_approve","approval_id":"ap-1"})",
                R"({"action":"ai_deny","approval_id":"ap-1"})", R"({"action":"ai_disable"})",
                R"({"action":"ai_context","result_id":"r-1","result_index":0,)"
                R"("selection_id":"check:r-1:1"})",
                R"({"action":"ai_checkpoint"})", R"({"action":"ai_send","prompt":"hi"})"}));

  // Keys never reach the views behind: `q` closes the panel, `e` switches to raw evidence. At
  // 60 × 20 the body shows two rows of the raw state.
  state.record_frame_size({60, 20});
  press(state, {key(U'v'), key(U'j'), key(U'j'), key(U'k')});
  EXPECT_TRUE(state.assistant.raw);
  EXPECT_EQ(state.assistant.scroll, 8);
  EXPECT_TRUE(handle_key(state, key(U'q')));
  EXPECT_FALSE(state.assistant.open);
  press(state, {key(U'A'), key(U'e')});
  EXPECT_FALSE(state.assistant.open);
  EXPECT_TRUE(state.raw_view);
  EXPECT_EQ(state.status, "Selected canonical evidence · v returns to readable detail");
  handle_key(state, key(U'A'));
  EXPECT_FALSE(handle_key(state, key(U'C')));
  EXPECT_TRUE(state.connect_requested);
}

TEST(AssistantKeys, RefusalsAndThePromptLimit) {
  json document = testing::dispatch_document();
  document["assistant"] = {{"pending_approval", {{"id", 7}}}};
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = testing::state_of(document, View::topics, channel);
  press(state, {key(U'A'), key(U'y')});
  EXPECT_EQ(state.status, "No pending approval; no authority granted");
  handle_key(state, key(U'p'));
  EXPECT_EQ(state.status, "No named connections. Supply a user-private --ai-config file.");
  handle_key(state, key(U's'));
  EXPECT_EQ(requests_of(channel->from(state).text),
            (std::vector<std::string>{R"({"action":"ai_context","selection_id":"topic:/scan"})"}));

  // 8,192 bytes at most: a character that would pass the limit is refused, a shorter one fits.
  handle_key(state, key(U'i'));
  state.assistant.prompt = std::string(8190, 'a');
  press(state, {key(U'€'), key(U'é'), key(U'é')});
  EXPECT_EQ(state.assistant.prompt.size(), 8192u);
  EXPECT_TRUE(state.assistant.prompt.ends_with("é"));
}

}  // namespace
}  // namespace qm
