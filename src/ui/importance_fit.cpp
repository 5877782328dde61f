#include "ui/importance_fit.hpp"

#include <algorithm>
#include <numeric>

namespace qm {

std::vector<bool> keep_most_important(std::span<const std::size_t> ranks,
                                      const std::function<bool(const std::vector<bool>&)>& fits) {
  std::vector<std::size_t> order(ranks.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
  std::vector<bool> kept(ranks.size(), false);
  for (const std::size_t part : order) {
    kept[part] = true;
    kept[part] = fits(kept);
  }
  return kept;
}

}  // namespace qm
