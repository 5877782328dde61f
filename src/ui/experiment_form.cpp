#include "ui/experiment_form.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>

#include "model/mode_keys.hpp"
#include "text/text.hpp"
#include "ui/detail_lines.hpp"
#include "ui/overlay_box.hpp"

namespace qm {

namespace {

// Planning asks these in turn; every step past the last asks the last one again.
constexpr std::array<std::string_view, 5> plan_questions = {
    "Hypothesis",
    "Predicted observation",
    "Planned test (description only)",
    "Criteria identity",
    R"(Variables as a JSON object, e.g. {"seed":1})",
};
constexpr std::array<std::string_view, 2> conclude_questions = {
    "Outcome: supported / refuted / inconclusive / failed / interrupted",
    "Conclusion (your interpretation; not behavioral proof)",
};

template <std::size_t N>
std::string_view question_at(const std::array<std::string_view, N>& questions, std::size_t step) {
  return questions[std::min(step, N - 1)];
}

}  // namespace

std::string_view form_question(const FormState& form) {
  const std::size_t step = form.answers.size();
  return form.kind == FormState::Kind::plan ? question_at(plan_questions, step)
                                            : question_at(conclude_questions, step);
}

TypedText experiment_form_text(const FormState& form, std::string_view status) {
  TypedText typed;
  typed.text = fmt::format("{}\n\n{}", form_question(form), display_safe(form.input));
  typed.cursor = typed.text.size();
  typed.text += typing_cursor;
  typed.text += fmt::format(
      "\n\n{}\nPlanning executes nothing. Conclusion uses the latest linked evidence.\n{}",
      form_legend(), display_safe(status));
  return typed;
}

void draw_experiment_form(tui::Buffer& buffer, tui::Rect box, const FormState& form,
                          std::string_view status) {
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const tui::Rect inner = draw_panel_frame(buffer, box, " Experiment ");
  const TypedText typed = experiment_form_text(form, status);
  draw_wrapped_text(buffer, inner, typed.text, DetailLines::Styling::by_shape, 0,
                    {.base = {}, .cursor = typed.cursor});
}

}  // namespace qm
