#pragma once

#include "rapidotio/JsonAccess.h"

namespace ZEM_0_81::rapidotio {

/// Memory for the values of one document that is parsed to be read once, front
/// to back. As the reader finishes with the values parsed first, it hands their
/// memory back with release, so the DOM shrinks while what is built from it
/// grows in the memory it left.
///
/// The parser allocates a document's values in the order of the text, an
/// object's member list when the object closes. So once a reader has read
/// everything of an object and of all that came before it in the text, the
/// memory up to the end of that object's member list is no longer needed. It
/// goes back to the heap by the pool's chunks (ValuePool: up to 64 KB each).
class DocumentMemory {
public:
    DocumentMemory() = default;
    DocumentMemory(const DocumentMemory&) = delete;
    DocumentMemory& operator=(const DocumentMemory&) = delete;

    /// The allocator to parse the document's values into.
    Allocator& allocator() { return m_pool; }

    /// Hands back the memory of every value parsed before the end of `object`'s
    /// member list, but for the chunk that holds that end: the caller reads none
    /// of them again. Anything else than an object with members, or one not
    /// parsed into this memory, releases nothing.
    void release(const Value& object);

private:
    ValuePool m_pool;
};

} // namespace ZEM_0_81::rapidotio
