#include "views/changed_fields.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "model/limits.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::string_view kHeading = "CHANGED FIELDS\n";
constexpr std::string_view kNothingDiffers = "No field differs.\n";
constexpr std::string_view kChangedMark = "~ ";
constexpr std::string_view kAddedMark = "+ ";
constexpr std::string_view kRemovedMark = "- ";
constexpr std::array<std::string_view, 3> kMarks = {kChangedMark, kAddedMark, kRemovedMark};
// The path of two top-level values that are not both objects or both arrays.
constexpr std::string_view kWholeEntry = "(entry)";
// A key holding one of these is quoted, so that it cannot be read as several steps of a path.
constexpr std::string_view kPathCharacters = " .[]\"";

// One step from a value to one of its parts: a member's key or an element's index.
struct Step {
  std::string_view key;
  std::size_t index = 0;
  bool is_index = false;
};

std::string_view kind_name(const Json& value) {
  switch (value.type()) {
    case Json::Type::null:
      return "null";
    case Json::Type::boolean:
      return "boolean";
    case Json::Type::integer:
    case Json::Type::unsigned_integer:
    case Json::Type::floating:
      return "number";
    case Json::Type::string:
      return "string";
    case Json::Type::array:
      return "array";
    case Json::Type::object:
      return "object";
  }
  return "null";
}

bool needs_quotes(std::string_view key) {
  if (key.empty() || key.find_first_of(kPathCharacters) != std::string_view::npos) {
    return true;
  }
  for (const char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      return true;
    }
  }
  return false;
}

// A key on one line and safe to print, quoted when it could be misread as path syntax.
std::string key_text(std::string_view key) {
  std::string text = value_display_text(JsonArena::string_view_of(key));
  if (!needs_quotes(key)) {
    return text;
  }
  return "[\"" + text + "\"]";
}

std::string path_text(std::span<const Step> path) {
  if (path.empty()) {
    return std::string(kWholeEntry);
  }
  std::string text;
  for (const Step& step : path) {
    if (step.is_index) {
      text += '[';
      text += std::to_string(step.index);
      text += ']';
      continue;
    }
    std::string key = key_text(step.key);
    if (!text.empty() && !key.starts_with('[')) {
      text += '.';
    }
    text += key;
  }
  return truncate_middle(text, limits::changed_path_columns);
}

// A value on one line: null as "null" and the empty string as "" so that neither reads as
// nothing, cut to a few columns.
std::string shown_value(const Json& value) {
  if (value.is_null()) {
    return "null";
  }
  if (value.is_string() && value.string().empty()) {
    return "\"\"";
  }
  return truncate_end(value_display_text(value), limits::changed_value_columns);
}

// Walks two values side by side, writing a line for each of the first differences and counting
// all of them.
class FieldDiff {
 public:
  void compare(const Json& before, const Json& after) {
    if (before.is_object() && after.is_object()) {
      compare_objects(before.object(), after.object());
      return;
    }
    if (before.is_array() && after.is_array()) {
      compare_arrays(before.array(), after.array());
      return;
    }
    if (before == after) {
      return;
    }
    if (!counted()) {
      return;
    }
    text_ += kChangedMark;
    text_ += path_text(path_);
    text_ += ": ";
    text_ += shown_value(before);
    text_ += " → ";
    text_ += shown_value(after);
    if (kind_name(before) != kind_name(after)) {
      text_ += " (";
      text_ += kind_name(before);
      text_ += " → ";
      text_ += kind_name(after);
      text_ += ')';
    }
    text_ += '\n';
  }

  std::string finish() && {
    if (total_ == 0) {
      return std::string(kHeading) + std::string(kNothingDiffers);
    }
    std::string text(kHeading);
    text += text_;
    if (total_ > limits::changed_fields_shown) {
      text += "… ";
      text += std::to_string(total_ - limits::changed_fields_shown);
      text += " more\n";
    }
    return text;
  }

 private:
  void compare_objects(std::span<const JsonMember> before, std::span<const JsonMember> after) {
    // Both are sorted by key, so one walk pairs the keys they share.
    std::size_t b = 0;
    std::size_t a = 0;
    while (b < before.size() || a < after.size()) {
      path_.push_back({});
      if (a == after.size() || (b < before.size() && before[b].key() < after[a].key())) {
        path_.back().key = before[b].key();
        one_side(kRemovedMark, before[b].value);
        ++b;
      } else if (b == before.size() || after[a].key() < before[b].key()) {
        path_.back().key = after[a].key();
        one_side(kAddedMark, after[a].value);
        ++a;
      } else {
        path_.back().key = after[a].key();
        compare(before[b].value, after[a].value);
        ++b;
        ++a;
      }
      path_.pop_back();
    }
  }

  void compare_arrays(std::span<const Json> before, std::span<const Json> after) {
    const std::size_t longer = std::max(before.size(), after.size());
    for (std::size_t i = 0; i < longer; ++i) {
      path_.push_back({.key = {}, .index = i, .is_index = true});
      if (i >= after.size()) {
        one_side(kRemovedMark, before[i]);
      } else if (i >= before.size()) {
        one_side(kAddedMark, after[i]);
      } else {
        compare(before[i], after[i]);
      }
      path_.pop_back();
    }
  }

  // A field or element that only one side has.
  void one_side(std::string_view mark, const Json& value) {
    if (!counted()) {
      return;
    }
    text_ += mark;
    text_ += path_text(path_);
    text_ += ": ";
    text_ += shown_value(value);
    text_ += '\n';
  }

  // Counts one difference; true when it still gets a line of its own.
  bool counted() {
    ++total_;
    return total_ <= limits::changed_fields_shown;
  }

  std::vector<Step> path_;
  std::string text_;
  std::size_t total_ = 0;
};

}  // namespace

std::string changed_fields_text(const Json& before, const Json& after) {
  FieldDiff diff;
  diff.compare(before, after);
  return std::move(diff).finish();
}

bool is_changed_field_line(std::string_view line) {
  for (const std::string_view mark : kMarks) {
    if (line.starts_with(mark)) {
      return line.find(": ", mark.size()) != std::string_view::npos;
    }
  }
  return false;
}

}  // namespace qm
