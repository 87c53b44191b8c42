#pragma once

#include <algorithm>
#include <vector>

namespace quorelle {

// Records that carry their own place in a list (bookmark folders, new-tab
// shortcuts) put in that order. Records with the same place keep the order
// they are stored in.
struct SortOrder {
    SortOrder() = delete;

    template <typename Item>
    static std::vector<Item> sorted(std::vector<Item> items) {
        std::ranges::stable_sort(items, {}, &Item::sortOrder);
        return items;
    }
};

}  // namespace quorelle
