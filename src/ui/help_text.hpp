#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/view.hpp"

namespace qm {

// The fixed sentences that open help, word for word.
std::string_view help_sentences();

// The whole help text while `view` is shown, for a panel `width` columns wide: the fixed
// sentences, then every key of the view, of every view and of each mode, grouped as the key
// tables give them, then what the list rows' markers and the rates beside topics mean. Words too
// long for the width continue on the next line under their own column.
std::string help_text(View view, uint16_t width);

}  // namespace qm
