#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "json/json.hpp"

namespace qm {

// `object` with `key` replaced by `replacement`, or left out when there is none. The members
// live in `storage`, which starts empty and must outlive the result. Anything but an object
// holding `key` comes back unchanged.
Json with_member(const Json& object, std::string_view key, std::optional<Json> replacement,
                 std::vector<JsonMember>& storage);

}  // namespace qm
