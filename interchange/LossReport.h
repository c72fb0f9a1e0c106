#pragma once

#include "composition/CompositionApi.h"
#include "outside/core/Status.h"
#include "outside/core/String.h"

#include <cstdint>

namespace ZEM_0_81 {

/// What reading a standard OTIO document dropped or approximated: one entry per
/// item or member that did not come into the edit tree as it stood, each with
/// the place in the input (a JSON Pointer, RFC 6901, such as
/// "/tracks/children/0/children/3"), the schema of the object it belongs to
/// ("Clip.2", "Marker.2", ..., "none" for an object without one) and a sentence
/// saying what happened and why.
///
/// A report is filled by StandardOtio::read, which empties it first; it owns
/// copies of its texts. Entries keep the order in which the reader met them.
/// Text formats name their places "line N", and their elements as the schema:
/// AscCdl::read reports the values of an ASC CDL file it could not read that
/// way, and AscCdl::apply what it did not apply, or replaced.
class ZEM_API LossReport {
public:
    LossReport();
    LossReport(const LossReport& other);
    LossReport& operator=(const LossReport& other);
    ~LossReport();

    /// The number of entries.
    std::uint32_t getCount() const;
    /// True when nothing was lost.
    bool isEmpty() const;
    /// Entry `index`: its place, schema and what happened. Fails with NoData (512),
    /// leaving the three texts untouched, when `index` is past the end.
    Status getEntry(std::uint32_t index, String& path, String& schema, String& what) const;

    /// Appends an entry; the reader reports through this, and a host may add
    /// entries of its own.
    void add(const String& path, const String& schema, const String& what);
    /// Removes every entry.
    void clear();

private:
    struct ZEM_HIDDEN Impl;
    Impl* m_impl;
};

} // namespace ZEM_0_81
