#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace qm {

// Which parts of a one-line bar to keep when not all of them fit. `ranks` gives each part, in
// screen order, its importance (lower is more important; equal ranks go in screen order). Parts
// are offered from the most important down, and each is kept when `fits` accepts it together with
// those kept before it. So a part is only ever left out for more important ones, a smaller one
// may still fill the room a larger one left, and the kept ones stay in their screen order.
std::vector<bool> keep_most_important(std::span<const std::size_t> ranks,
                                      const std::function<bool(const std::vector<bool>&)>& fits);

}  // namespace qm
