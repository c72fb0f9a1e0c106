#pragma once

#include "interchange/kept/KeptObjects.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/timing/TimeSchema.h"

#include <string>

namespace ZEM_0_81::Interchange {

/// Time as the OpenTimelineIO library computes it over a document it loaded,
/// worked out on the input itself, before (and apart from) reading it into the
/// edit tree: how long each item lasts, where each item of a track starts, and
/// the rate a timeline written by another tool is best read at. Nothing here
/// reports a loss; the schema readers do that as they read.
///
/// OTIO's rules, which these functions follow:
/// - a time is a value at a rate; a sum takes the larger of the two rates and
///   the other value rescaled to it; one time is less than another when it lasts
///   fewer seconds;
/// - an item lasts its "source_range"'s duration, else its available range's:
///   a clip's active media reference's "available_range", a track's sum of the
///   durations of its items (clips, gaps, nested stacks and tracks; transitions
///   take no track time, except that a transition first or last in the track
///   adds its in or out offset), a stack's longest child; a gap without a range,
///   or a clip without one whose media has none, cannot be timed (0 here);
/// - an item of a track starts where the items before it end.
namespace OtioTiming {

// A transition's members, and the readers of a member and of a time.
using KeptObjects::kInOffset;
using KeptObjects::kOutOffset;
using KeptObjects::kTransitionType;
using KeptObjects::memberOf;
using KeptObjects::timeOf;

/// What an object of a track or stack is, by its schema's type word.
enum class Kind { Clip, Gap, Transition, Track, Stack, Other };

/// The kind of `object` ("Sequence" and "Filler", the older names of a track and
/// a gap, which the OpenTimelineIO library still reads, are a Track and a Gap).
Kind kindOf(const Value& object);
/// True for the kinds that hold other items: Track and Stack.
inline bool isComposition(Kind kind) {
    return kind == Kind::Track || kind == Kind::Stack;
}

/// `a` + `b` as OTIO adds times: at the larger rate.
RationalTime plus(const RationalTime& a, const RationalTime& b);
/// True when `a` lasts fewer seconds than `b`.
bool lessThan(const RationalTime& a, const RationalTime& b);

/// The range `object` holds ("start_time" and "duration" both times); false otherwise.
bool rangeOf(const Value* object, TimeRange& range);

/// The available range of a clip: its active media reference's (a "Clip.1"'s
/// "media_reference"). False when it has none.
bool clipAvailableRange(const Value& clip, TimeRange& range);

/// How long `item` lasts in its parent (its trimmed duration). False, with
/// `duration` 0, when OTIO cannot tell (see above) or the item is nested deeper
/// than kMaxNesting; `duration` then holds what could be summed.
bool durationOf(const Value& item, RationalTime& duration, unsigned depth = 0);

/// How long the items of a track, or of a stack (any other object timed as
/// one), last without its own trim (its available duration). False as
/// durationOf.
bool contentDurationOf(const Value& composition, RationalTime& duration);

/// Nested stacks and tracks deeper than this are not timed.
constexpr unsigned kMaxNesting = 64;

/// A timeline of another tool as this system reads it.
struct TimelineTiming {
    /// The frame rate of the composition: the rate of "global_start_time" when it
    /// gives the start, the duration and every item's place and length (and the
    /// trims of the stack and the tracks) in whole frames, else the first rate
    /// that does (the duration's, then the items'); else the lowest rate up to
    /// TrackTrim::kMaxExactRate that does, preferring one that holds every frame
    /// of the timeline's rates (24000 for 23.976 and 24); else the rate of
    /// "global_start_time", or the clips' most common one, at which record times
    /// are rounded (`exact` false); 24 when the timeline gives no rate at all.
    double rate = 24.0;
    /// Its frame-rate text ("24", "23.976", "120000").
    std::string fcm = "24";
    /// False when no rate holds every time in whole frames: record times are
    /// then rounded to the nearest frame at `rate`, and each move reported.
    bool exact = true;
    /// "global_start_time" in frames at `rate`; 0 when absent or null.
    double start = 0.0;
    /// The timeline's duration (its stack's) in frames at `rate`.
    double duration = 0.0;
};

/// The timing of the timeline `timeline`.
TimelineTiming timelineTiming(const Value& timeline);

} // namespace OtioTiming

} // namespace ZEM_0_81::Interchange
