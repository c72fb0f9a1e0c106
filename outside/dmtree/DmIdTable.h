#pragma once

// Helpers shared by the classes that hold objects under integer ids (channels and
// attributes of compositing settings, text layers and text paragraphs). Internal
// to the library: not part of the umbrella header.

#include "outside/dmtree/CoSharedPtr.h"

#include <map>
#include <vector>

namespace DmIdTable {

/// Stores `object` under `id`; null removes the entry.
template <class Id, class T> void put(std::map<Id, CoSharedPtr<T>>& table, Id id, T* object) {
    if (object)
        table[id] = object;
    else
        table.erase(id);
}

/// The object under `id`, or null.
template <class Id, class T> CoSharedPtr<T> get(const std::map<Id, CoSharedPtr<T>>& table, Id id) {
    const auto found = table.find(id);
    return found == table.end() ? CoSharedPtr<T>() : found->second;
}

/// The ids held, ascending.
template <class Id, class T> std::vector<Id> ids(const std::map<Id, CoSharedPtr<T>>& table) {
    std::vector<Id> result;
    result.reserve(table.size());
    for (const auto& entry : table)
        result.push_back(entry.first);
    return result;
}

/// A table holding deep copies of the objects of `table`.
template <class Id, class T>
std::map<Id, CoSharedPtr<T>> deepCopy(const std::map<Id, CoSharedPtr<T>>& table) {
    std::map<Id, CoSharedPtr<T>> result;
    for (const auto& entry : table)
        result.emplace(entry.first, dmCloneOf(entry.second.get()));
    return result;
}

} // namespace DmIdTable
