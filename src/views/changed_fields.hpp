#pragma once

#include <string>
#include <string_view>

#include "json/json.hpp"

namespace qm {

// The fields in which two versions of an entity differ, one line each under "CHANGED FIELDS":
//   "~ qos.reliability: reliable → best_effort"   a value that changed
//   "+ endpoints[2]: {…}"                           a field or element only the second has
//   "- details.lifespan: 5"                         a field or element only the first has
// Objects give dotted paths and arrays indexes. At most limits::changed_fields_shown lines, then
// "… N more"; "No field differs." when the two are equal. Every line ends in a line feed.
std::string changed_fields_text(const Json& before, const Json& after);

// True for a line that changed_fields_text writes for one field, so that it can be drawn in the
// warning colour.
bool is_changed_field_line(std::string_view line);

}  // namespace qm
