#pragma once

#include <string>
#include <string_view>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/typing_cursor.hpp"

namespace qm {

// The question the form asks at its current step (the number of answers given so far).
std::string_view form_question(const FormState& form);

// The form's text: the question, what has been typed with a cursor, the keys and the status
// message, made display-safe; the cursor's place is kept so it can be drawn in its own colour.
TypedText experiment_form_text(const FormState& form, std::string_view status);

// Draws the experiment form into `box`, its text styled by shape and wrapped.
void draw_experiment_form(tui::Buffer& buffer, tui::Rect box, const FormState& form,
                          std::string_view status);

}  // namespace qm
