#pragma once

// The table of objects held under integer ids by compositing settings, text
// layers and text paragraphs (their channels and attributes), and the helpers
// that read and copy it. Not part of the umbrella header.

#include "outside/dmtree/CoSharedPtr.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace DmIdTable {

/// Objects under ids, ascending by id. A holder keeps a handful of them at most,
/// so a sorted array in one block serves better than a tree of nodes.
template <class Id, class T> using Table = std::vector<std::pair<Id, CoSharedPtr<T>>>;

/// Room made at the first entry: every channel a text paragraph holds fits.
constexpr std::size_t kInitialRoom = 8;

/// The first entry whose id is not below `id`.
template <class Id, class T>
typename Table<Id, T>::const_iterator lowerBound(const Table<Id, T>& table, Id id) {
    return std::lower_bound(table.begin(), table.end(), id,
                            [](const auto& entry, Id wanted) { return entry.first < wanted; });
}

/// Stores `object` under `id`; null removes the entry.
template <class Id, class T> void put(Table<Id, T>& table, Id id, T* object) {
    const auto found = table.begin() + (lowerBound(table, id) - table.cbegin());
    const bool held = found != table.end() && found->first == id;
    if (!object) {
        if (held)
            table.erase(found);
        return;
    }
    if (held) {
        found->second = object;
        return;
    }
    if (table.capacity() == 0) {
        table.reserve(kInitialRoom);
        table.emplace_back(id, CoSharedPtr<T>(object));
        return;
    }
    table.emplace(found, id, CoSharedPtr<T>(object));
}

/// The object under `id`, or null.
template <class Id, class T> CoSharedPtr<T> get(const Table<Id, T>& table, Id id) {
    const auto found = lowerBound(table, id);
    return found == table.end() || found->first != id ? CoSharedPtr<T>() : found->second;
}

/// The ids held, ascending.
template <class Id, class T> std::vector<Id> ids(const Table<Id, T>& table) {
    std::vector<Id> result;
    result.reserve(table.size());
    for (const auto& entry : table)
        result.push_back(entry.first);
    return result;
}

/// A table holding deep copies of the objects of `table`.
template <class Id, class T> Table<Id, T> deepCopy(const Table<Id, T>& table) {
    Table<Id, T> result;
    result.reserve(table.size());
    for (const auto& entry : table)
        result.emplace_back(entry.first, dmCloneOf(entry.second.get()));
    return result;
}

} // namespace DmIdTable
