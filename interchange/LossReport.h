#pragma once

#include "composition/CompositionApi.h"
#include "outside/core/Status.h"
#include "outside/core/String.h"

#include <cstdint>

namespace ZEM_0_81 {

/// What reading a document of another tool dropped or approximated: one entry
/// per item or member that did not come into the edit tree as it stood, each
/// with the place in the input, the schema of what it belongs to and a
/// sentence saying what happened and why. For standard OTIO the place is a
/// JSON Pointer (RFC 6901, such as "/tracks/children/0/children/3") and the
/// schema the object's ("Clip.2", "Marker.2", ..., "none" for an object
/// without one); for an EDL the place is "line N" and the schema the statement
/// ("event", "M2", "LOC", "FCM", ...). Writing an EDL reports in the same way
/// what the list cannot hold, the place naming the track ("track V",
/// "track V, 01:00:05:00").
///
/// A report is filled by StandardOtio::read, Edl::read and Edl::write, which
/// empty it first; it owns copies of its texts. Entries keep the order in which
/// they were met. Text formats name their places "line N", and their statements
/// or elements as the schema: AscCdl::read reports the values of an ASC CDL file
/// it could not read that way, and AscCdl::apply what it did not apply, or
/// replaced.
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
