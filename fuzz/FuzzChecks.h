#pragma once

// Helpers shared by the fuzz targets: reading a text into a composition the way
// zemcomp does, and stopping with a message when a property does not hold, so
// that libFuzzer keeps the input as a finding.

#include "composition/Composition.h"
#include "outside/dmtree/DmRoot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ZEM_0_81::fuzz {

/// Stops the run as a finding unless `holds`.
inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property does not hold: %s\n", property);
        std::abort();
    }
}

/// A composition holding `text` as JSON of `type`.
inline SharedPtr<Composition> holding(Composition::JsonType type, const std::string& text) {
    SharedPtr<Composition> composition;
    Composition::create(composition, String("fuzz"), "fuzz", Rational(24, 1));
    if (composition)
        composition->setJson(type, String(text.c_str()));
    return composition;
}

/// What the text of `source`'s tree is in `type`, made as zemcomp convert makes
/// it: a copy of the tree handed to a fresh composition, which writes it. False
/// when the tree or the text cannot be had.
inline bool convert(const Composition& source, Composition::JsonType type, std::string& out) {
    Status status;
    const DmRoot& tree = source.getTree(status);
    if (!status)
        return false;
    const SharedPtr<Composition> target = Composition::create(source.getId(), tree);
    String text;
    if (!target || !target->getJson(type, text))
        return false;
    out.assign(text.c_str(), text.size());
    return true;
}

/// Whether two JSON texts are the same but for the last digits of their
/// numbers. The OTIO import parses numbers with the parser's default (not
/// full-precision) conversion, which may land an ulp away from the written
/// value, and it keeps a pixel aspect as a single-precision frame ratio, so a
/// number may move a little on every trip through the tree; a relative
/// difference up to one part in a million is taken as that rounding. Every byte
/// outside numbers must be the same, strings included.
inline bool sameButRounding(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    bool inString = false;
    while (i < a.size() && j < b.size()) {
        const char c = a[i];
        if (!inString && (c == '-' || (c >= '0' && c <= '9'))) {
            char* endA = nullptr;
            char* endB = nullptr;
            const double x = std::strtod(a.c_str() + i, &endA);
            const double y = std::strtod(b.c_str() + j, &endB);
            if (endA == a.c_str() + i || endB == b.c_str() + j)
                return false;
            const double scale = std::max(std::fabs(x), std::fabs(y));
            if (!(x == y || std::fabs(x - y) <= 1e-6 * scale))
                return false;
            i = static_cast<std::size_t>(endA - a.c_str());
            j = static_cast<std::size_t>(endB - b.c_str());
            continue;
        }
        if (c != b[j])
            return false;
        if (inString && c == '\\') { // the escaped character belongs to the string
            if (i + 1 >= a.size() || j + 1 >= b.size() || a[i + 1] != b[j + 1])
                return false;
            i += 2;
            j += 2;
            continue;
        }
        if (c == '"')
            inString = !inString;
        ++i;
        ++j;
    }
    return i == a.size() && j == b.size();
}

/// Whether OTIO text settles: read into a tree and written again, up to `trips`
/// times, two successive texts come out the same (but for rounding). The OTIO
/// export writes a clip's length converted from composition frames to its
/// source's rate, which need not be a whole number, and the import rounds it
/// back to composition frames, so a length may change on the first trips before
/// it stays. A text that keeps changing is a finding.
inline bool settles(const std::string& text, int trips = 4) {
    std::string previous = text;
    for (int trip = 0; trip < trips; ++trip) {
        const SharedPtr<Composition> read = holding(Composition::JsonType::Otio, previous);
        std::string next;
        require(read && convert(*read, Composition::JsonType::Otio, next),
                "the OTIO text written for an imported tree reads back and is written again");
        if (sameButRounding(previous, next))
            return true;
        previous = std::move(next);
    }
    return false;
}

/// Asks every query of `composition`, at a few frames including `arbitrary`.
inline void query(const Composition& composition, std::int64_t arbitrary) {
    Time start;
    Time duration;
    composition.getStartTime(start);
    composition.getDuration(duration);
    const std::int64_t first = start.getNbTicks();
    const std::int64_t length = duration.getNbTicks();
    std::int64_t middle = first; // the start when the middle does not fit 64 bits
    if (__builtin_add_overflow(first, length / 2, &middle))
        middle = first;
    for (const std::int64_t frame : {first, middle, arbitrary}) {
        Bounds bounds;
        composition.getOutputBounds(Time(frame, start.getRate()), bounds);
    }
}

/// Eight bytes of the input as a frame number.
inline std::int64_t frameFrom(const std::uint8_t* data, std::size_t size) {
    std::uint64_t frame = 0;
    for (std::size_t i = 0; i < size && i < 8; ++i)
        frame = frame << 8 | data[i];
    return static_cast<std::int64_t>(frame);
}

} // namespace ZEM_0_81::fuzz
