#pragma once

#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/ItemPlacement.h"

#include <optional>
#include <string>

namespace ZEM_0_81::Interchange {

/// The "source_range" of a track or of a timeline's stack, as OTIO applies it:
/// it selects [start, start + duration) of the items' own time and puts it at
/// the start of the parent. Every item moves back by the start; an item cut by
/// an edge plays the part inside (its source range trimmed); an item wholly
/// outside is not shown; a negative start leaves empty time before the first
/// item, and a duration past the content empty time after the last. A stack's
/// trim does the same to every track, after the track's own.
///
/// The edit tree holds what OTIO shows (TrackSchema, StackSchema): segments at
/// the record times OTIO gives them, cut as OTIO cuts them, gap segments for the
/// empty time; its layers carry no trim, so a layer written back needs none.
namespace TrackTrim {

/// A trim in frames at the composition rate.
struct Range {
    double start = 0.0;
    double duration = 0.0;
};

/// The trim of `item` (its "source_range", a range of two times), in frames at
/// `compositionRate`; nothing when it has none.
std::optional<Range> of(const Value& item, double compositionRate);

/// The record time a trim of `composition` (a track or a stack) names for its
/// content, in frames at `compositionRate`, when the trim is the one
/// OpenTimelineIO's EDL reader gives a track to keep the list's record start:
/// a "source_range" lying wholly before the content (its start negative, its
/// end at or before 0) and lasting exactly as long as the content. The
/// OpenTimelineIO library places such content at the negated start (a child's
/// time in its parent is its place less the parent's trim start), and writes
/// it back to an EDL there, so the reader does too: the trim moves the items
/// to start at that record time and hides nothing. Nothing for any other trim,
/// for none, and for content that lasts nothing.
std::optional<double> recordOffsetOf(const Value& composition, double compositionRate);

/// The window through which the items of a track show: the track's own trim
/// within the stack's, the track's time starting at `recordBase` (the
/// composition's start). With `trackCuts` false the track's trim only moves its
/// items (a trim this system writes for a layer that starts before the
/// composition: TrackSchema).
TrimWindow windowOf(const std::optional<Range>& stack, const std::optional<Range>& track,
                    bool trackCuts, double recordBase);

/// An item as it lands in the edit tree.
struct Landing {
    double recordIn = 0.0;
    double recordLength = 0.0;
    /// The frames the window's start cut off its head, at the composition rate:
    /// its source starts that much later.
    double head = 0.0;
};

/// Where an item found at `recordIn`, lasting `recordLength` frames, lands in the
/// layer `cursor` reads: cut to the cursor's window, and, when the cursor rounds,
/// its record-in and end rounded to the nearest frame, which is reported (with
/// the frames each moved by) for `schema` at the current place.
Landing land(ReadContext& context, const std::string& schema, const LayerCursor& cursor,
             double recordIn, double recordLength);

/// The highest frame rate the reader gives a composition to hold every record
/// time of another tool's timeline in whole frames (OtioTiming::timelineTiming).
constexpr double kMaxExactRate = 192000.0;

} // namespace TrackTrim

} // namespace ZEM_0_81::Interchange
