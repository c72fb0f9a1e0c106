#pragma once

#include "composition/Composition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zemcomp {

/// How many of each kind of thing an edit tree holds.
struct Counts {
    std::uint64_t tracks = 0;
    std::uint64_t layers = 0;
    std::uint64_t clips = 0;   ///< source segments
    std::uint64_t gaps = 0;    ///< gap segments
    std::uint64_t effects = 0; ///< effect settings attached to segments
};

/// One answer of a time query.
struct TimeAnswer {
    ZEM_0_81::Status status;
    ZEM_0_81::Time time;
};

/// The output bounds at one frame.
struct BoundsAnswer {
    std::int64_t at = 0;
    ZEM_0_81::Status status;
    ZEM_0_81::Bounds bounds;
};

/// What `info` reports of a composition.
struct Summary {
    ZEM_0_81::Status status; ///< of getting the tree: the import's result
    std::string name;        ///< the first composition node's name
    TimeAnswer duration;
    TimeAnswer start;
    std::vector<BoundsAnswer> bounds;
    Counts counts;
};

/// Asks `composition` everything `info` shows: its tree (and so its import),
/// name, counts, duration, start, and the bounds at each of `frames` (at the
/// start frame when `frames` is empty).
Summary summarize(const ZEM_0_81::Composition& composition, const std::vector<std::int64_t>& frames);

/// The summary as one JSON object, without a line end.
std::string toJson(const Summary& summary);

/// The summary as lines of text for a person.
std::string toText(const Summary& summary, const std::string& documentName);

/// "5 clips, 1 gap, 3 layers, 1 track, 4 effects, 240 frames at 24 fps".
std::string oneLine(const Summary& summary);

} // namespace zemcomp
