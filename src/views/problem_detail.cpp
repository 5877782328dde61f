#include "views/problem_detail.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

bool lists_string(const Json& array, std::string_view text) {
  const auto elements = array_of(array);
  return elements.has_value() &&
         std::any_of(elements->begin(), elements->end(),
                     [&](const Json& element) { return is_string_equal(element, text); });
}

bool lists_value_text(const Json& array, std::string_view text) {
  const auto elements = array_of(array);
  return elements.has_value() &&
         std::any_of(elements->begin(), elements->end(),
                     [&](const Json& element) { return value_display_text(element) == text; });
}

void append_launch_detail(std::string& out, const Json& item) {
  out += fmt::format("Severity: {} · Evidence: {}\n", value_display_text(member(item, "severity")),
                     value_display_text(member(item, "evidence")));
  out += "\nEVIDENCE TEXT\n";
  if (const auto text = string_of(member(item, "text"))) {
    out += display_safe(*text);
  }
  out += "\n\nNEXT STEPS\n";
  out += "L opens the retained launch log.\n";
  out += "Log patterns are a summary; the log is the evidence.\n";
}

void append_qos_profiles(std::string& out, const Json& detail) {
  const auto publisher = object_of(member(detail, "publisher_profile"));
  if (!publisher.has_value()) {
    return;
  }
  const Json& subscriber = member(detail, "subscriber_profile");
  out += "\nQOS PROFILES\n";
  out += pad_right("policy", 18);
  out += pad_right(truncate_middle(value_display_text(member(detail, "publisher")), 20), 22);
  out += "   ";
  out += truncate_middle(value_display_text(member(detail, "subscriber")), 24);
  out += '\n';
  for (const JsonMember& item : *publisher) {
    const std::string_view policy = item.key();
    const Json& value = item.value;
    std::string_view mark = " ";
    if (lists_string(member(detail, "policies"), policy)) {
      mark = "✕";
    } else if (lists_value_text(member(detail, "unresolved_policies"),
                                value_display_text(JsonArena::string_view_of(policy)))) {
      mark = "?";
    }
    out += pad_right(display_safe(policy), 18);
    out += pad_right(value_display_text(value), 22);
    out += mark;
    out += "  ";
    out += value_display_text(member(subscriber, policy));
    out += '\n';
  }
}

void append_section(std::string& out, std::string_view heading, const Json& text) {
  if (const auto body = string_of(text)) {
    out += fmt::format("\n{}\n{}\n", heading, display_safe(*body));
  }
}

void append_finding_detail(std::string& out, const Json& item) {
  out += fmt::format(
      "Severity: {} · Check: {} · Evidence: one graph snapshot of the current capture\n",
      value_display_text(member(item, "severity")), value_display_text(member(item, "detector")));
  out += "Likely cause, not proof.\n";
  append_qos_profiles(out, member(item, "detail"));
  append_section(out, "WHY IT MATTERS", member(item, "explanation"));
  append_section(out, "LIKELY FIX", member(item, "fix"));
  out +=
      fmt::format("\nVERIFY COMMAND · y copies\n{}\n", value_display_text(member(item, "verify")));
  if (const auto target = string_of(member(item, "target"))) {
    out += fmt::format("\nNEXT STEPS\nEnter opens {} · Backspace returns here\n",
                       display_safe(*target));
  }
  append_section(out, "DETECTOR TEXT", member(item, "finding"));
  const auto doc_url = string_of(member(item, "doc_url"));
  if (doc_url.has_value() && !doc_url->empty()) {
    append_section(out, "DOCUMENTATION", member(item, "doc_url"));
  }
}

}  // namespace

std::string problem_detail_text(const Json& item) {
  std::string out;
  const auto title = string_of(member(item, "title"));
  out += title.has_value() ? display_safe(*title) : "Problem";
  out += '\n';
  if (is_string_equal(member(item, "detector"), "launch")) {
    append_launch_detail(out, item);
  } else {
    append_finding_detail(out, item);
  }
  return out;
}

}  // namespace qm
