#include "json/json_edit.hpp"

namespace qm {

Json with_member(const Json& object, std::string_view key, std::optional<Json> replacement,
                 std::vector<JsonMember>& storage) {
  if (!object.is_object()) {
    return object;
  }
  bool found = false;
  for (const JsonMember& item : object.object()) {
    if (item.key() != key) {
      storage.push_back(item);
    } else {
      found = true;
      if (replacement) {
        storage.push_back({item.name, *replacement});
      }
    }
  }
  return found ? JsonArena::object_of(storage) : object;
}

}  // namespace qm
