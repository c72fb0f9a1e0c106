#include "interchange/otiostd/timing/TrackTrim.h"

#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/timing/RecordTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ZEM_0_81::Interchange::TrackTrim {

namespace {

/// "0.4 frames earlier", "1 frame later" for a move of `frames`.
std::string moveText(const char* what, double frames) {
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", std::fabs(frames));
    return std::string(what) + " " + number + (std::fabs(frames) == 1.0 ? " frame " : " frames ") +
           (frames < 0.0 ? "earlier" : "later");
}

} // namespace

std::optional<Range> of(const Value& item, double compositionRate) {
    TimeRange range = kZeroRange;
    if (!OtioTiming::rangeOf(OtioTiming::memberOf(item, SchemaMembers::kSourceRange), range))
        return std::nullopt;
    return Range{RecordTime::wholeIfNear(RecordTime::rescale(
                     range.start_time.value, range.start_time.rate, compositionRate)),
                 RecordTime::wholeIfNear(RecordTime::rescale(
                     range.duration.value, range.duration.rate, compositionRate))};
}

std::optional<double> recordOffsetOf(const Value& composition, double compositionRate) {
    const std::optional<Range> trim = of(composition, compositionRate);
    RationalTime content = kZeroTime;
    // Ending at or before 0 and lasting as long as content that lasts, it
    // starts before 0.
    if (!trim || trim->start + trim->duration > 0.0 ||
        !OtioTiming::contentDurationOf(composition, content))
        return std::nullopt;
    const double frames =
        RecordTime::wholeIfNear(RecordTime::rescale(content.value, content.rate, compositionRate));
    if (frames <= 0.0 || std::fabs(trim->duration - frames) > 1e-9 * frames)
        return std::nullopt;
    return -trim->start;
}

TrimWindow windowOf(const std::optional<Range>& stack, const std::optional<Range>& track,
                    bool trackCuts, double recordBase) {
    TrimWindow window;
    const double stackStart = stack ? stack->start : 0.0;
    window.shift = stackStart + (track ? track->start : 0.0);
    if (track && trackCuts) {
        // The track's trimmed time, where the stack puts it.
        window.from = recordBase - stackStart;
        window.to = window.from + track->duration;
    }
    if (stack) {
        window.from = std::max(window.from, recordBase);
        window.to = std::min(window.to, recordBase + stack->duration);
    }
    return window;
}

Landing land(ReadContext& context, const std::string& schema, const LayerCursor& cursor,
             double recordIn, double recordLength) {
    Landing landing{recordIn, recordLength, 0.0};
    const TrimWindow& window = cursor.window;
    if (window.from > recordIn) {
        landing.head = window.from - recordIn;
        landing.recordIn = window.from;
        landing.recordLength = std::max(0.0, recordLength - landing.head);
    }
    if (landing.recordIn + landing.recordLength > window.to)
        landing.recordLength = std::max(0.0, window.to - landing.recordIn);
    if (!cursor.rounds)
        return landing;

    const double end = landing.recordIn + landing.recordLength;
    const double in = std::round(landing.recordIn);
    const double roundedEnd = std::round(end);
    std::string moves;
    if (in != landing.recordIn)
        moves = moveText("starts", in - landing.recordIn);
    if (roundedEnd != end)
        moves += (moves.empty() ? "" : " and ") + moveText("ends", roundedEnd - end);
    if (!moves.empty())
        context.lose(schema, "approximated: no frame rate up to " +
                                 std::to_string(static_cast<long>(kMaxExactRate)) +
                                 " frames a second holds every record time of the timeline in "
                                 "whole frames; rounded to whole frames at " +
                                 RecordTime::fcmOf(cursor.compositionRate) + " fps, it " + moves);
    landing.recordIn = in;
    landing.recordLength = roundedEnd - in;
    return landing;
}

} // namespace ZEM_0_81::Interchange::TrackTrim
