#pragma once

// Helpers shared by the fuzz targets: reading a text into a composition the way
// zemcomp does, and stopping with a message when a property does not hold, so
// that libFuzzer keeps the input as a finding.

#include "composition/Composition.h"
#include "outside/dmtree/DmRoot.h"

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

/// Asks every query of `composition`, at a few frames including `arbitrary`.
inline void query(const Composition& composition, std::int64_t arbitrary) {
    Time start;
    Time duration;
    composition.getStartTime(start);
    composition.getDuration(duration);
    const std::int64_t first = start.getNbTicks();
    const std::int64_t length = duration.getNbTicks();
    for (const std::int64_t frame : {first, first + length / 2, arbitrary}) {
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
