#pragma once

// Lists of records that carry an `id` (bookmarks, folders, shortcuts,
// profiles, proxies, ...), looked up by that id.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace quorelle::records {

// The position of the first record with this id.
template <typename Record, typename Id>
std::optional<std::size_t> indexOf(const std::vector<Record>& list, const Id& id) {
    auto it = std::find_if(list.begin(), list.end(), [&](const Record& record) { return record.id == id; });
    if (it == list.end()) return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

// The first record with this id, or null.
template <typename Record, typename Id>
const Record* find(const std::vector<Record>& list, const Id& id) {
    auto index = indexOf(list, id);
    return index ? &list[*index] : nullptr;
}

template <typename Record, typename Id>
bool contains(const std::vector<Record>& list, const Id& id) {
    return indexOf(list, id).has_value();
}

// Removes every record with this id.
template <typename Record, typename Id>
void erase(std::vector<Record>& list, const Id& id) {
    std::erase_if(list, [&](const Record& record) { return record.id == id; });
}

// Replaces the first record with the same id, or appends the record.
template <typename Record>
void replaceOrAppend(std::vector<Record>& list, const Record& record) {
    if (auto index = indexOf(list, record.id))
        list[*index] = record;
    else
        list.push_back(record);
}

// One more than the highest sortOrder in the list (1 for an empty list); it
// saturates rather than overflowing on a hand-edited file.
template <typename Record>
std::int64_t nextSortOrder(const std::vector<Record>& list) {
    if (list.empty()) return 1;
    const std::int64_t highest =
        std::max_element(list.begin(), list.end(), [](const Record& a, const Record& b) {
            return a.sortOrder < b.sortOrder;
        })->sortOrder;
    return highest == std::numeric_limits<std::int64_t>::max() ? highest : highest + 1;
}

}  // namespace quorelle::records
