#pragma once

#include "rapidotio/JsonAccess.h"

#include <cstddef>
#include <memory>

namespace ZEM_0_81::rapidotio {

/// Memory for the values of one document that is parsed to be read once, front
/// to back: a block reserved for the largest DOM the text can make, of which
/// only what the parser fills is ever touched. As the reader finishes with the
/// values parsed first, it hands their pages back with release, so the DOM
/// shrinks while what is built from it grows.
///
/// The parser allocates a document's values in the order of the text, an
/// object's member list when the object closes. So once a reader has read
/// everything of an object and of all that came before it in the text, the
/// memory up to the end of that object's member list is no longer needed.
/// The block is handed back in aligned runs of 2 MB, in large pages where the
/// system has them, so that filling it takes few faults and releasing it splits
/// none. This is done where the system allows it (Linux) and for texts of 4 MB
/// and more; elsewhere the values live in an ordinary memory pool.
class DocumentMemory {
public:
    /// Room for the values of a text of `textLength` bytes.
    explicit DocumentMemory(std::size_t textLength);
    ~DocumentMemory();
    DocumentMemory(const DocumentMemory&) = delete;
    DocumentMemory& operator=(const DocumentMemory&) = delete;

    /// The allocator to parse the document's values into.
    Allocator& allocator() { return *m_allocator; }

    /// Hands back the pages of every value parsed before the end of `object`'s
    /// member list: the caller reads none of them again. Anything else than an
    /// object with members, or one not parsed into this memory, releases nothing.
    void release(const Value& object);

private:
    char* m_block = nullptr;    ///< the reserved block, null when none
    std::size_t m_length = 0;   ///< its length in bytes
    char* m_released = nullptr; ///< the pages before this one are handed back
    std::unique_ptr<Allocator> m_allocator;
};

} // namespace ZEM_0_81::rapidotio
