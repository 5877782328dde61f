#pragma once

#include <string_view>

#include "model/outbox.hpp"

namespace qm {

// The headings of the detail sections that show what `i`, `t` and `d` asked the backend for.
inline constexpr std::string_view message_inspection_heading =
    "MESSAGE INSPECTION · i requests or retries bounded samples and shape";
inline constexpr std::string_view message_tf_heading =
    "MESSAGE-TIME TF · t queries configured target";
inline constexpr std::string_view config_diff_heading =
    "CONFIGURATION DIFF · d compares selected node";

// The heading of the section that shows the answer to `action`; empty for the other actions.
constexpr std::string_view answer_heading(RequestAction action) {
  switch (action) {
    case RequestAction::inspect:
      return message_inspection_heading;
    case RequestAction::message_tf:
      return message_tf_heading;
    case RequestAction::config_diff:
      return config_diff_heading;
    default:
      return {};
  }
}

}  // namespace qm
