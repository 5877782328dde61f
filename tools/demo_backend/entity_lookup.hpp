#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace qm::demo {

// The entity with that id in a catalogue, or null.
nlohmann::json find_entity(const nlohmann::json& entities, std::string_view id);

// The entity a request names on one side of the document: a node or topic of the catalogue,
// or for "frame:NAME" the frame with the transform edges that touch it. Null when absent.
nlohmann::json find_side_entity(const nlohmann::json& document, std::string_view id, bool baseline);

}  // namespace qm::demo
