#pragma once

namespace quorelle {

// Where newTabAdjacent puts the new tab relative to the given one.
enum class TabAdjacentSide { left, right };

}  // namespace quorelle
