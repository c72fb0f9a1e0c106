#pragma once

#include <memory>

namespace ZEM_0_81::Json {

/// Gives `made`, a new edit-tree object that nobody holds yet (as its `create`
/// returns it), to its owner: `keep(made)` is the owner's call that keeps a
/// counted reference to it. The object then carries its owner's reference
/// alone, and is not also counted up and down by a holder of the importer's:
/// every count is an atomic operation, which waits for the writes to the newly
/// built objects before it. Until the owner holds the object, a unique_ptr
/// does, and deletes it when `keep` throws or keeps no reference.
///
/// Returns `made`, which lives as long as its owner holds it, or null when it
/// was not kept.
template <class T, class Keep> T* handOver(T* made, Keep&& keep) {
    if (!made)
        return nullptr;
    std::unique_ptr<T> pending(made);
    keep(made);
    if (made->refcount() == 0)
        return nullptr;
    return pending.release();
}

} // namespace ZEM_0_81::Json
