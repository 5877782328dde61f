#include "input/experiment_forms.hpp"

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
using tui::KeyCode;

json task_document() {
  json document = testing::dispatch_document();
  document["task"] = {{"title", "Dock reliably"},
                      {"experiments", {{{"id", "e-1"}, {"hypothesis", "QoS"}}}}};
  return document;
}

void type(AppState& state, std::string_view text) {
  for (const char c : text) {
    handle_key(state, key(static_cast<char32_t>(c)));
  }
}

void answer(AppState& state, std::string_view text) {
  type(state, text);
  handle_key(state, key(KeyCode::enter));
}

TEST(ExperimentForms, PlanCollectsFiveAnswersAndChecksTheVariables) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = testing::state_of(task_document(), View::project, channel);
  handle_key(state, key(U'n'));
  ASSERT_TRUE(state.form);
  answer(state, "   ");  // blank: no answer, and the spaces stay typed
  EXPECT_TRUE(state.form->answers.empty());
  EXPECT_EQ(state.form->input, "   ");
  state.form->input.clear();
  answer(state, " QoS blocks images ");
  answer(state, "no frames");
  answer(state, "echo once");
  answer(state, "qos-check");
  for (const std::string_view wrong : {"[1]", "3", "{broken"}) {
    answer(state, wrong);
    EXPECT_EQ(state.status, "Variables must be a JSON object; edit or Esc to cancel");
    ASSERT_TRUE(state.form);
    EXPECT_EQ(state.form->answers.size(), 4u);
    EXPECT_EQ(state.form->input, wrong);
    for (std::size_t i = 0; i < wrong.size(); ++i) {
      handle_key(state, key(KeyCode::backspace));
    }
  }
  answer(state, R"({"seed":1})");
  EXPECT_FALSE(state.form);
  EXPECT_EQ(lines_of(channel->from(state).text).back(),
            R"({"action":"plan_experiment","criteria_identity":"qos-check",)"
            R"("entity_id":"project:summary",)"
            R"("hypothesis":" QoS blocks images ","prediction":"no frames","side":"current",)"
            R"("test":"echo once","variables":{"seed":1}})");
}

TEST(ExperimentForms, ConcludeNeedsAnExperimentAndSendsItsId) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = testing::state_of(task_document(), View::project, channel);
  handle_key(state, key(U'f'));
  EXPECT_FALSE(state.form);
  EXPECT_EQ(state.status, "Select an experiment before recording a conclusion");

  ASSERT_TRUE(select_row_by_id(state, "experiment:e-1"));
  handle_key(state, key(U'f'));
  ASSERT_TRUE(state.form);
  // Answers are capped at 4,096 bytes.
  type(state, std::string(5000, 'x'));
  EXPECT_EQ(state.form->input.size(), 4096u);
  handle_key(state, key(KeyCode::escape));
  EXPECT_FALSE(state.form);

  channel->from(state).text.clear();
  handle_key(state, key(U'f'));
  answer(state, "supported");
  answer(state, "it was QoS");
  handle_key(state, key(KeyCode::enter));  // Enter on the experiment row selects it
  EXPECT_EQ(lines_of(channel->from(state).text),
            (std::vector<std::string>{
                R"({"action":"finish_experiment","conclusion":"it was QoS","entity_id":")"
                R"(experiment:e-1","experiment_id":"e-1","outcome":"supported","side":"current"})",
                R"({"action":"select_experiment","entity_id":"experiment:e-1",)"
                R"("experiment_id":"e-1","side":"current"})"}));

  // Without a task there is no form.
  json no_task = task_document();
  no_task["capabilities"].erase("task");
  AppState bare = testing::state_of(no_task, View::project);
  handle_key(bare, key(U'n'));
  EXPECT_FALSE(bare.form);
  EXPECT_EQ(bare.status, "Attach --task to plan or conclude experiments");
}

TEST(ExperimentForms, OpeningResultsSwitchesViewEvenWithoutAChannel) {
  AppState state = testing::state_of(task_document(), View::project);
  ASSERT_TRUE(select_row_by_id(state, "experiment:e-1"));
  handle_key(state, key(U'o'));
  EXPECT_EQ(state.view, View::results);
  testing::deliver_without_channel(state);
  EXPECT_EQ(state.status, "Request failed: No request channel configured");
}

}  // namespace
}  // namespace qm
