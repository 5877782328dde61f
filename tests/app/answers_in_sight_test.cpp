#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "input/key_dispatch.hpp"
#include "model/outbox.hpp"
#include "model/row_selection.hpp"
#include "support/buffer_matchers.hpp"
#include "support/key_events.hpp"
#include "support/session_on_disk.hpp"
#include "ui/detail_pane.hpp"
#include "ui/frame_layout.hpp"
#include "ui/overlays.hpp"
#include "views/detail_page.hpp"

namespace qm {
namespace {

using testing::SessionOnDisk;

// Sixty members, which an outline shows on sixty lines.
nlohmann::json sixty_fields() {
  nlohmann::json fields = nlohmann::json::object();
  for (int i = 0; i < 60; ++i) {
    fields["field_" + std::to_string(100 + i)] = i;
  }
  return fields;
}

// An entity whose metadata runs to sixty lines, so the sections after it start pages down.
nlohmann::json entity(const std::string& kind, const std::string& name) {
  return {{"id", kind + ":" + name}, {"kind", kind}, {"name", name}, {"details", sixty_fields()}};
}

// An answer long enough to fill the pane below its heading.
nlohmann::json answer(nlohmann::json about) {
  about["result"] = sixty_fields();
  return about;
}

nlohmann::json session(const std::string& answer_key = {}, const nlohmann::json& answer = {}) {
  nlohmann::json document = {
      {"schema", "quillmesh.terminal-session/1"},
      {"capabilities", {{"inspect", true}}},
      {"entities",
       nlohmann::json::array({entity("topic", "/a"), entity("topic", "/b"), entity("node", "/n")})},
      {"current", {{"label", "bench"}, {"graph", {{"edges", nlohmann::json::array()}}}}}};
  if (!answer_key.empty()) {
    document[answer_key] = answer;
  }
  return document;
}

// Presses `key` in `view` on `id` and notes its request as written, as the run loop does.
void request(AppState& state, View view, const std::string& id, char32_t key) {
  reset_to_view(state, view);
  ASSERT_TRUE(select_row_by_id(state, id));
  ASSERT_TRUE(handle_key(state, testing::key(key)));
  ASSERT_EQ(state.outbox.requests.size(), 1u);
  note_request_outcome(state, state.outbox.requests.back(), {});
  state.outbox.requests.clear();
}

// The first line inside the detail pane, as drawn for the state's frame.
std::string first_detail_row(const AppState& state) {
  tui::Buffer buffer(state.frame_area());
  const tui::Rect pane =
      compute_frame_layout(state.frame_area(), state.view, state.detail_focus).detail;
  draw_detail_pane(buffer, pane, state, detail_page(state));
  return buffer.row_text(static_cast<uint16_t>(pane.y + 1));
}

struct AnswerCase {
  const char* note;
  View view;
  const char* id;
  char32_t key;
  const char* answer_key;
  nlohmann::json before;
  nlohmann::json after;
  // The start of the heading expected on the pane's first line, or none when the pane stays at
  // the top.
  const char* heading;
};

class AnswersInSight : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswersInSight, ANewAnswerToTheLastRequestScrollsItsHeadingToTheTop) {
  const AnswerCase& c = GetParam();
  SessionOnDisk disk(session(c.answer_key, c.before));
  AppState& state = disk.state;
  request(state, c.view, c.id, c.key);
  disk.rewrite(session(c.answer_key, c.after), 2000);
  ASSERT_TRUE(disk.watch.check(state));
  if (c.heading != nullptr) {
    EXPECT_NE(first_detail_row(state).find("│" + std::string(c.heading)), std::string::npos)
        << first_detail_row(state);
  } else {
    EXPECT_EQ(state.detail_scroll, 0);
  }
}

const nlohmann::json no_answer = nullptr;
const nlohmann::json tf_of_a = answer({{"topic", "/a"}, {"offset_s", 0.25}});

INSTANTIATE_TEST_SUITE_P(
    Table, AnswersInSight,
    ::testing::Values(
        AnswerCase{"message_tf_arrives", View::topics, "topic:/a", U't', "message_tf", no_answer,
                   tf_of_a, "MESSAGE-TIME TF"},
        AnswerCase{"message_tf_changes", View::topics, "topic:/a", U't', "message_tf", tf_of_a,
                   answer({{"topic", "/a"}, {"offset_s", 0.5}}), "MESSAGE-TIME TF"},
        AnswerCase{"message_tf_unchanged", View::topics, "topic:/a", U't', "message_tf", tf_of_a,
                   tf_of_a, nullptr},
        AnswerCase{"message_tf_of_another_topic",
                   View::topics,
                   "topic:/a",
                   U't',
                   "message_tf",
                   no_answer,
                   {{"topic", "/b"}},
                   nullptr},
        AnswerCase{"inspection_arrives", View::topics, "topic:/a", U'i', "inspection", no_answer,
                   answer({{"entity_id", "topic:/a"}, {"side", "current"}, {"status", "complete"}}),
                   "MESSAGE INSPECTION"},
        AnswerCase{"configuration_diff_arrives", View::nodes, "node:/n", U'd', "configuration_diff",
                   no_answer, answer({{"node", "/n"}}), "CONFIGURATION DIFF"}),
    [](const ::testing::TestParamInfo<AnswerCase>& param_info) {
      return std::string(param_info.param.note);
    });

TEST(AnswersInSightAfterMoving, AnAnswerForAnEntityNoLongerSelectedLeavesThePane) {
  SessionOnDisk disk(session());
  AppState& state = disk.state;
  request(state, View::topics, "topic:/a", U't');
  ASSERT_TRUE(select_row_by_id(state, "topic:/b"));
  disk.rewrite(session("message_tf", tf_of_a), 2000);
  ASSERT_TRUE(disk.watch.check(state));
  EXPECT_EQ(state.detail_scroll, 0);
}

nlohmann::json with_messages(int count) {
  nlohmann::json document = session();
  nlohmann::json context = nlohmann::json::object();
  for (int i = 0; i < 80; ++i) {
    context["reference_" + std::to_string(100 + i)] = i;
  }
  nlohmann::json messages = nlohmann::json::array();
  for (int i = 0; i < count; ++i) {
    messages.push_back({{"role", "assistant"}, {"text", "answer number " + std::to_string(i)}});
  }
  document["assistant"] = {{"context", context}, {"messages", messages}};
  return document;
}

bool overlay_shows(const AppState& state, std::string_view text) {
  tui::Buffer buffer(state.frame_area());
  draw_overlays(buffer, state);
  return test_support::row_with(buffer, text).has_value();
}

TEST(AnswersInSightOfTheAssistant, ANewMessageScrollsTheOpenPanelToItsEnd) {
  SessionOnDisk disk(with_messages(1));
  AppState& state = disk.state;
  state.assistant.open = true;
  ASSERT_FALSE(overlay_shows(state, "assistant: answer number 0"));

  // A reload that changes something else leaves the panel where it is.
  nlohmann::json same = with_messages(1);
  same["notice"] = "unrelated";
  disk.rewrite(same, 2000);
  ASSERT_TRUE(disk.watch.check(state));
  EXPECT_EQ(state.assistant.scroll, 0);

  disk.rewrite(with_messages(2), 2001);
  ASSERT_TRUE(disk.watch.check(state));
  EXPECT_TRUE(overlay_shows(state, "assistant: answer number 1"));
}

}  // namespace
}  // namespace qm
