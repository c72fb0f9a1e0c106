#pragma once

// Frames of the two cuts counted on one clock: record offsets and source
// frames moved from one rate to another, and the source frames a clip plays.

#include "interchange/TimelineView.h"

#include <cstdint>
#include <optional>

namespace ZEM_0_81::Interchange::Compare {

/// True for a rate above 0 with a denominator: one frames can be counted at.
bool isCountable(const Rational& rate);

/// `frames` at `from` counted at `to`: the nearest frame, halves away from
/// zero. `frames` as it stands when the two rates are the same, or when either
/// is not countable (nothing says how they relate).
std::int64_t rescale(std::int64_t frames, const Rational& from, const Rational& to);

/// `count` to the nearest whole frame, halves up; 0 for a count without a
/// positive denominator.
std::int64_t wholeFrames(const FrameCount& count);

/// Source frames a clip plays, from `start` to before `end`.
struct SourceSpan {
    std::int64_t start{};
    std::int64_t end{};

    std::int64_t length() const { return end - start; }
};

/// The source frames `clip` plays at `rate`: from its source start for its
/// source duration rounded to the nearest frame (halves up), both rescaled
/// from the clip's source rate. None when its source start is not known.
std::optional<SourceSpan> sourceSpanAt(const TimelineItem& clip, const Rational& rate);

/// The frames two spans share; 0 when they share none.
std::int64_t sharedFrames(const SourceSpan& a, const SourceSpan& b);

} // namespace ZEM_0_81::Interchange::Compare
