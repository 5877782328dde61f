#include "input/experiment_forms.hpp"

#include <string>

#include "base/unicode.hpp"
#include "input/request_channel.hpp"
#include "input/text_entry.hpp"
#include "json/document_parser.hpp"
#include "model/limits.hpp"
#include "model/mode_keys.hpp"
#include "model/row_id.hpp"
#include "model/row_selection.hpp"
#include "model/view_rows.hpp"

namespace qm {

namespace {

constexpr std::size_t plan_answers = 5;
constexpr std::size_t conclude_answers = 2;

// The id of the selected experiment row, when one is selected.
std::optional<std::string> selected_experiment(const AppState& state) {
  if (const auto name = name_of(state.selected_id, RowKind::experiment); name && !name->empty()) {
    return std::string(*name);
  }
  return std::nullopt;
}

std::size_t input_limit(const FormState& form) {
  return form.kind == FormState::Kind::plan && form.answers.size() == plan_answers - 1
             ? limits::form_variables_bytes
             : limits::form_answer_bytes;
}

void submit_form(AppState& state) {
  FormState& form = *state.form;
  if (is_blank(form.input)) {
    return;
  }
  std::vector<std::string> answers = form.answers;
  answers.push_back(form.input);
  const bool plan = form.kind == FormState::Kind::plan;
  if (answers.size() < (plan ? plan_answers : conclude_answers)) {
    form.answers = std::move(answers);
    form.input.clear();
    return;
  }
  RequestPayload payload;
  if (plan) {
    const auto variables = parse_document(answers[4]);
    if (!variables || !(*variables)->root.is_object()) {
      state.status = "Variables must be a JSON object; edit or Esc to cancel";
      return;
    }
    payload.text("hypothesis", answers[0])
        .text("prediction", answers[1])
        .text("test", answers[2])
        .text("criteria_identity", answers[3])
        .value("variables", (*variables)->root);
  } else {
    payload.text("experiment_id", form.experiment_id)
        .text("outcome", answers[0])
        .text("conclusion", answers[1]);
  }
  const RequestAction action =
      plan ? RequestAction::plan_experiment : RequestAction::finish_experiment;
  state.form.reset();
  send_request(state, action, payload);
}

}  // namespace

void open_experiment_form(AppState& state, FormState::Kind kind) {
  if (!is_true(member_path(state.document(), {"capabilities", "task"}))) {
    state.status = "Attach --task to plan or conclude experiments";
    return;
  }
  std::string experiment_id = selected_experiment(state).value_or(std::string(
      string_of(member(state.document(), "active_experiment_id")).value_or(std::string_view{})));
  if (kind == FormState::Kind::conclude && experiment_id.empty()) {
    state.status = "Select an experiment before recording a conclusion";
    return;
  }
  state.form = FormState{.kind = kind, .answers = {}, .input = {}, .experiment_id = experiment_id};
}

void form_key(AppState& state, const tui::KeyEvent& key) {
  FormState& form = *state.form;
  const std::optional<EntryCommand> command = command_for(form_keys(), key);
  if (!command) {
    return;
  }
  switch (*command) {
    case EntryCommand::type:
      if (!key.modifiers.control && form.input.size() < input_limit(form)) {
        base::append_utf8(form.input, key.character);
      }
      return;
    case EntryCommand::erase:
      remove_last_character(form.input);
      return;
    case EntryCommand::submit:
      submit_form(state);
      return;
    case EntryCommand::cancel:
      state.form.reset();
      return;
  }
}

void select_experiment(AppState& state) {
  if (const auto id = selected_experiment(state)) {
    send_request(state, RequestAction::select_experiment,
                 RequestPayload().text("experiment_id", *id));
  }
}

void open_experiment_results(AppState& state) {
  const auto id = selected_experiment(state);
  if (!id) {
    return;
  }
  send_request(state, RequestAction::experiment_results,
               RequestPayload().text("experiment_id", *id));
  reset_to_view(state, View::results);
}

std::optional<std::size_t> result_index_of_selection(const AppState& state) {
  const Row* row = state.selected_row();
  const auto runs = array_of(member(state.document(), "runs"));
  if (row == nullptr || !runs.has_value()) {
    return std::nullopt;
  }
  for (std::size_t position = 0; position < runs->size(); ++position) {
    const std::string key = run_key((*runs)[position], position);
    if (row->id == row_id(RowKind::run, key) ||
        row->id.starts_with(row_id(RowKind::check, key) + ":")) {
      return position;
    }
  }
  return std::nullopt;
}

}  // namespace qm
