// The median offset of presses from the clicks they answer.
#include "app/core/ReactionDelay.h"

#include <algorithm>

namespace {

constexpr TMillis kWindow{500};
constexpr std::size_t kFewest = 3;

TMillis Distance(TMillis a, TMillis b) { return a > b ? a - b : b - a; }

}  // namespace

const std::vector<TMillis>& ReactionClicks() {
  // Uneven gaps, so that the clicks cannot be foreseen by their rhythm.
  static const std::vector<TMillis> clicks{TMillis{1000}, TMillis{2300}, TMillis{3200}, TMillis{4700},
                                           TMillis{5500}, TMillis{7000}, TMillis{8100}, TMillis{9300}};
  return clicks;
}

std::optional<TMillis> MedianReactionDelay(const std::vector<TMillis>& clicks, const std::vector<TMillis>& presses) {
  std::vector<bool> answered(clicks.size(), false);
  std::vector<TMillis> offsets;
  for (const TMillis press : presses) {
    std::optional<std::size_t> nearest;
    for (std::size_t i = 0; i < clicks.size(); ++i) {
      if (answered[i] || Distance(press, clicks[i]) > kWindow) continue;
      if (!nearest || Distance(press, clicks[i]) < Distance(press, clicks[*nearest])) nearest = i;
    }
    if (!nearest) continue;
    answered[*nearest] = true;
    offsets.push_back(press - clicks[*nearest]);
  }
  if (offsets.size() < kFewest) return std::nullopt;
  std::sort(offsets.begin(), offsets.end());
  const std::size_t mid = offsets.size() / 2;
  if (offsets.size() % 2 == 1) return offsets[mid];
  return (offsets[mid - 1] + offsets[mid]) / 2;
}
