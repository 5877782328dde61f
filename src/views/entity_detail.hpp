#pragma once

#include "views/detail_page.hpp"

namespace qm {

// Graph, Topics, Nodes and TF: what the selected entity is and how it is connected.
DetailPage entity_page(const AppState& state, const Row* row);

}  // namespace qm
