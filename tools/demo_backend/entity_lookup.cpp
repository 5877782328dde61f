#include "entity_lookup.hpp"

namespace qm::demo {

using nlohmann::json;

json find_entity(const json& entities, std::string_view id) {
  if (!entities.is_array()) {
    return nullptr;
  }
  for (const json& entity : entities) {
    const auto found = entity.find("id");
    if (found != entity.end() && found->is_string() && found->get_ref<const std::string&>() == id) {
      return entity;
    }
  }
  return nullptr;
}

json find_side_entity(const json& document, std::string_view id, bool baseline) {
  constexpr std::string_view frame_prefix = "frame:";
  if (id.starts_with(frame_prefix)) {
    const std::string frame(id.substr(frame_prefix.size()));
    const json tf = document.value(baseline ? "baseline" : "current", json::object())
                        .value("tf", json::object());
    json touching = json::array();
    for (const json& edge : tf.value("edges", json::array())) {
      if (edge.value("parent", "") == frame || edge.value("child", "") == frame) {
        touching.push_back(edge);
      }
    }
    if (touching.empty()) {
      return nullptr;
    }
    return {{"edges", touching}, {"frame", frame}};
  }
  return find_entity(document.value(baseline ? "baseline_entities" : "entities", json::array()),
                     id);
}

}  // namespace qm::demo
