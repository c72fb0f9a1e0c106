#pragma once

#include "interchange/fcpxml/ElementReport.h"
#include "interchange/fcpxml/FcpxmlTime.h"

#include <pugixml.hpp>

#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::Fcpx {

/// A "timeMap": the points that map an element's retimed time ("time") to its
/// media's ("value"), read linearly between them.
struct TimeMap {
    std::vector<std::pair<Time, Time>> points; ///< (time, value), in order of time

    bool empty() const { return points.empty(); }

    /// The media time at `t`: linear between the points, held at the first
    /// point's value before it and at the last's after it; `t` itself for a
    /// map without points.
    Time at(const Time& t) const;

    /// The map of `timeMap` (a "timeMap" element): its points in order; a point
    /// that is no time, or that comes before the one before it, is left out and
    /// told to `report` when it is not null.
    static TimeMap read(const pugi::xml_node& timeMap, ElementReport* report);
};

} // namespace ZEM_0_81::Interchange::Fcpx
