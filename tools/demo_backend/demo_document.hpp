#pragma once

#include <nlohmann/json.hpp>

namespace qm::demo {

// The whole demo session document as it stands at the demo's capture time. The same on every
// call: `--write-example` writes it, and the live backend starts from it.
nlohmann::json build_demo_document();

// The document as text: two-space indentation, keys sorted, a final line feed.
std::string document_text(const nlohmann::json& document);

}  // namespace qm::demo
