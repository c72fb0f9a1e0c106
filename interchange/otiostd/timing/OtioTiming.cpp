#include "interchange/otiostd/timing/OtioTiming.h"

#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/MediaReferenceSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/TrackTrim.h"
#include "interchange/timing/RecordTime.h"
#include "rapidotio/keys/TimelineKeys.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace ZEM_0_81::Interchange::OtioTiming {

namespace {

/// The rates a timeline is tried at, at most: documents hold one or two.
constexpr std::size_t kMaxCandidates = 16;

/// OTIO's default time, which a sum of nothing is.
constexpr RationalTime kNothing{0.0, 1.0};

const Value* childrenOf(const Value& object) {
    const Value* children = memberOf(object, SchemaMembers::kChildren);
    return children && children->IsArray() ? children : nullptr;
}

/// A track's available duration: its items one after the other, with the
/// offsets of a transition at either end.
bool trackDuration(const Value& track, RationalTime& duration, unsigned depth) {
    duration = kNothing;
    const Value* children = childrenOf(track);
    if (!children)
        return true;
    bool timed = true;
    for (const Value& child : children->GetArray()) {
        const Kind kind = kindOf(child);
        if (kind == Kind::Transition || kind == Kind::Other)
            continue;
        RationalTime item = kZeroTime;
        timed = durationOf(child, item, depth + 1) && timed;
        duration = plus(duration, item);
    }
    if (!children->Empty()) {
        RationalTime offset = kZeroTime;
        const Value& first = (*children)[0];
        if (kindOf(first) == Kind::Transition && timeOf(memberOf(first, kInOffset), offset))
            duration = plus(duration, offset);
        const Value& last = (*children)[children->Size() - 1];
        if (kindOf(last) == Kind::Transition && timeOf(memberOf(last, kOutOffset), offset))
            duration = plus(duration, offset);
    }
    return timed;
}

/// A stack's available duration: its longest child.
bool stackDuration(const Value& stack, RationalTime& duration, unsigned depth) {
    duration = kNothing;
    const Value* children = childrenOf(stack);
    if (!children)
        return true;
    bool timed = true;
    bool first = true;
    for (const Value& child : children->GetArray()) {
        RationalTime item = kZeroTime;
        const Kind kind = kindOf(child);
        if (kind == Kind::Transition) {
            RationalTime in = kZeroTime, out = kZeroTime;
            timeOf(memberOf(child, kInOffset), in);
            timeOf(memberOf(child, kOutOffset), out);
            item = plus(in, out);
        } else if (kind != Kind::Other) {
            timed = durationOf(child, item, depth + 1) && timed;
        } else {
            continue;
        }
        if (first || lessThan(duration, item))
            duration = item;
        first = false;
    }
    return timed;
}

/// True when `time` is a whole number of frames at `rate`.
bool isWholeAt(const RationalTime& time, double rate) {
    const double frames = RecordTime::rescale(time.value, time.rate, rate);
    if (!std::isfinite(frames))
        return false;
    return std::fabs(frames - std::round(frames)) <= 1e-7 * std::fmax(1.0, std::fabs(frames));
}

/// True when `rate` can be a composition's frame rate.
bool isUsableRate(double rate) {
    return std::isfinite(rate) && rate > 0.0 && !RecordTime::fcmOf(rate).empty();
}

void addCandidate(std::vector<double>& candidates, double rate) {
    if (!isUsableRate(rate) || candidates.size() >= kMaxCandidates)
        return;
    for (const double known : candidates) {
        if (RecordTime::sameRate(known, rate))
            return;
    }
    candidates.push_back(rate);
}

__extension__ typedef __int128 Wide; // exact for every product of two 64-bit factors

Wide gcdOf(Wide a, Wide b) {
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    while (b != 0) {
        const Wide rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

/// Exact numbers beyond this are not worth keeping: no rate up to
/// TrackTrim::kMaxExactRate comes of them.
constexpr Wide kExactLimit = Wide(1) << 62;

/// `value` as a fraction `numerator` / `denominator` (at most a million) that it
/// lies within the rounding of double arithmetic of (84.084 is 21021/250).
bool fractionOf(double value, Wide& numerator, Wide& denominator) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 9007199254740992.0))
        return false;
    const double tolerance = 1e-9 * std::fmax(1.0, magnitude);
    // The convergents h/k of the continued fraction of the magnitude.
    Wide h0 = 0, h1 = 1, k0 = 1, k1 = 0;
    double rest = magnitude;
    for (int step = 0; step < 40; ++step) {
        const double whole = std::floor(rest);
        if (whole > 1e15)
            return false;
        const Wide term = static_cast<Wide>(whole);
        const Wide h2 = term * h1 + h0, k2 = term * k1 + k0;
        if (k2 > 1000000 || h2 > kExactLimit)
            return false;
        if (std::fabs(static_cast<double>(h2) / static_cast<double>(k2) - magnitude) <= tolerance) {
            numerator = value < 0.0 ? -h2 : h2;
            denominator = k2;
            return true;
        }
        h0 = h1, h1 = h2, k0 = k1, k1 = k2;
        if (rest - whole <= 0.0)
            return false;
        rest = 1.0 / (rest - whole);
    }
    return false;
}

/// The lowest common multiple of two positive numbers; 0 when it is beyond
/// kExactLimit.
Wide lcmOf(Wide a, Wide b) {
    const Wide result = a / gcdOf(a, b) * b;
    return result > kExactLimit ? 0 : result;
}

/// The times of a timeline as exact numbers of seconds, to find the rate that
/// holds them all in whole frames when no rate the timeline names does.
class ExactTimes {
public:
    /// Adds a time; one that is not exact (its rate is no ratio of whole numbers,
    /// or its value no fraction of a small one) leaves no exact rate.
    void add(const RationalTime& time) {
        std::int64_t n = 0, d = 0;
        Wide p = 0, q = 0;
        if (!m_exact || !RecordTime::ratioOf(time.rate, n, d) || !fractionOf(time.value, p, q)) {
            m_exact = false;
            return;
        }
        // value / rate seconds: (p / q) × (d / n), in lowest terms.
        Wide numerator = p * d, denominator = q * n;
        const Wide common = gcdOf(numerator, denominator);
        numerator /= common, denominator /= common;
        m_denominators = lcmOf(m_denominators, denominator);
        m_numerators = gcdOf(m_numerators, numerator);
        m_rateNumerators = lcmOf(m_rateNumerators, n);
        m_rateDenominators = gcdOf(m_rateDenominators, d);
        m_exact = m_denominators != 0;
    }

    /// The lowest rate at which every time added is a whole number of frames and
    /// every frame of each rate they count at is too (24000 for 23.976 and 24,
    /// 120000 for 23.976, 24, 29.97, 30, 59.94 and 60); else the lowest rate at
    /// which the times are (the times' greatest common divisor, inverted); false
    /// when neither is at most `limit` frames a second.
    bool rate(double limit, std::int64_t& numerator, std::int64_t& denominator) const {
        if (!m_exact || m_numerators == 0)
            return false;
        const Wide everyFrame[2] = {m_rateNumerators == 0 ? 0
                                                          : lcmOf(m_denominators, m_rateNumerators),
                                    gcdOf(m_numerators, m_rateDenominators)};
        const Wide lowest[2] = {m_denominators, m_numerators};
        for (const Wide* rate : {everyFrame, lowest}) {
            const Wide p = rate[0], q = rate[1];
            if (p > 0 && q > 0 && q < kExactLimit &&
                static_cast<double>(p) <= limit * static_cast<double>(q)) {
                numerator = static_cast<std::int64_t>(p);
                denominator = static_cast<std::int64_t>(q);
                return true;
            }
        }
        return false;
    }

private:
    bool m_exact = true;
    Wide m_denominators = 1;     ///< the times' common denominator
    Wide m_numerators = 0;       ///< the times' greatest common numerator
    Wide m_rateNumerators = 1;   ///< the rates' common numerator
    Wide m_rateDenominators = 0; ///< the rates' greatest common denominator
};

} // namespace

Kind kindOf(const Value& object) {
    // Without copying the name: every item of every track is told apart here,
    // some of them several times.
    const Value* const schema = memberOf(object, SchemaMembers::kSchema);
    std::string_view type;
    int version = 0;
    if (!schema || !schema->IsString() ||
        !SchemaMembers::parseSchema(
            std::string_view(schema->GetString(), schema->GetStringLength()), type, version))
        return Kind::Other;
    if (type == "Clip")
        return Kind::Clip;
    if (type == "Gap" || type == "Filler")
        return Kind::Gap;
    if (type == "Transition")
        return Kind::Transition;
    if (type == "Track" || type == "Sequence")
        return Kind::Track;
    if (type == "Stack")
        return Kind::Stack;
    return Kind::Other;
}

RationalTime plus(const RationalTime& a, const RationalTime& b) {
    if (a.rate < b.rate)
        return RationalTime{RecordTime::rescale(a.value, a.rate, b.rate) + b.value, b.rate};
    return RationalTime{RecordTime::rescale(b.value, b.rate, a.rate) + a.value, a.rate};
}

bool lessThan(const RationalTime& a, const RationalTime& b) {
    return a.value / a.rate < b.value / b.rate;
}

bool rangeOf(const Value* object, TimeRange& range) {
    if (!object || !object->IsObject())
        return false;
    TimeRange read = kZeroRange;
    if (!timeOf(memberOf(*object, TimeSchema::kStartTime), read.start_time) ||
        !timeOf(memberOf(*object, TimeSchema::kDuration), read.duration))
        return false;
    range = read;
    return true;
}

bool clipAvailableRange(const Value& clip, TimeRange& range) {
    const Value* reference = memberOf(clip, ClipSchema::kMediaReference);
    if (const Value* references = memberOf(clip, ClipSchema::kMediaReferences);
        references && references->IsObject()) {
        const Value* active = memberOf(clip, ClipSchema::kActiveKey);
        const char* key =
            active && active->IsString() ? active->GetString() : MediaReferenceSchema::kDefaultKey;
        reference = memberOf(*references, key);
    }
    return reference && rangeOf(memberOf(*reference, MediaReferenceSchema::kAvailableRange), range);
}

bool durationOf(const Value& item, RationalTime& duration, unsigned depth) {
    duration = kNothing;
    TimeRange range = kZeroRange;
    if (rangeOf(memberOf(item, SchemaMembers::kSourceRange), range)) {
        duration = range.duration;
        return true;
    }
    if (depth > kMaxNesting)
        return false;
    switch (kindOf(item)) {
    case Kind::Clip:
        if (clipAvailableRange(item, range)) {
            duration = range.duration;
            return true;
        }
        return false;
    case Kind::Track:
        return trackDuration(item, duration, depth);
    case Kind::Stack:
        return stackDuration(item, duration, depth);
    case Kind::Transition: {
        RationalTime in = kZeroTime, out = kZeroTime;
        timeOf(memberOf(item, kInOffset), in);
        timeOf(memberOf(item, kOutOffset), out);
        duration = plus(in, out);
        return true;
    }
    default:
        return false;
    }
}

bool contentDurationOf(const Value& composition, RationalTime& duration) {
    return kindOf(composition) == Kind::Track ? trackDuration(composition, duration, 0)
                                              : stackDuration(composition, duration, 0);
}

TimelineTiming timelineTiming(const Value& timeline) {
    TimelineTiming timing;
    RationalTime start = kZeroTime;
    const bool hasStart =
        timeOf(memberOf(timeline, rapidotio::keys::TimelineKeys::globalStartTime), start);
    RationalTime duration = kNothing;
    const Value* stack = memberOf(timeline, rapidotio::keys::TimelineKeys::tracks);
    if (stack && stack->IsObject())
        durationOf(*stack, duration);

    // Every time the composition must hold in whole frames, and the rates to try.
    std::vector<RationalTime> times;
    std::vector<double> candidates;
    ExactTimes exact;
    // How many clips count at each rate.
    std::vector<std::pair<double, std::size_t>> clipRates;
    const auto add = [&](const RationalTime& time) {
        times.push_back(time);
        exact.add(time);
    };
    // A trim's start and length: the items it moves and cuts land on whole frames
    // where these are whole too.
    const auto addTrim = [&](const Value& item) {
        TimeRange trim = kZeroRange;
        if (rangeOf(memberOf(item, SchemaMembers::kSourceRange), trim)) {
            add(trim.start_time);
            add(trim.duration);
        }
    };
    if (hasStart) {
        add(start);
        addCandidate(candidates, start.rate);
    }
    times.push_back(duration);
    if (duration.value != 0.0 || duration.rate != kNothing.rate)
        addCandidate(candidates, duration.rate);
    if (stack)
        addTrim(*stack);
    if (const Value* tracks = stack ? childrenOf(*stack) : nullptr) {
        for (const Value& track : tracks->GetArray()) {
            const Value* items = kindOf(track) == Kind::Track ? childrenOf(track) : nullptr;
            if (!items)
                continue;
            addTrim(track);
            RationalTime cursor = kNothing;
            for (const Value& item : items->GetArray()) {
                const Kind kind = kindOf(item);
                if (kind == Kind::Transition || kind == Kind::Other)
                    continue;
                RationalTime length = kZeroTime;
                if (!durationOf(item, length, 1))
                    continue;
                add(length);
                addCandidate(candidates, length.rate);
                cursor = plus(cursor, length);
                times.push_back(cursor);
                if (kind != Kind::Clip || !isUsableRate(length.rate))
                    continue;
                const auto counted =
                    std::find_if(clipRates.begin(), clipRates.end(), [&](const auto& entry) {
                        return RecordTime::sameRate(entry.first, length.rate);
                    });
                if (counted != clipRates.end())
                    ++counted->second;
                else if (clipRates.size() < kMaxCandidates)
                    clipRates.emplace_back(length.rate, 1);
            }
        }
    }

    // One of the timeline's own rates, else the exact rate that holds every time,
    // else an approximation at the start's rate (or the clips' most common one).
    std::string fcm;
    for (const double candidate : candidates) {
        const bool whole = std::all_of(times.begin(), times.end(), [&](const RationalTime& time) {
            return isWholeAt(time, candidate);
        });
        if (whole) {
            fcm = RecordTime::fcmOf(candidate);
            break;
        }
    }
    std::int64_t numerator = 0, denominator = 0;
    if (fcm.empty() && exact.rate(TrackTrim::kMaxExactRate, numerator, denominator)) {
        fcm = RecordTime::fcmOf(numerator, denominator);
        const double rate = RecordTime::rateOf(DmString(fcm));
        if (!std::all_of(times.begin(), times.end(),
                         [&](const RationalTime& time) { return isWholeAt(time, rate); }))
            fcm.clear();
    }
    if (fcm.empty()) {
        timing.exact = false;
        double rate = hasStart && isUsableRate(start.rate) ? start.rate : 0.0;
        std::size_t most = 0;
        for (const auto& [clipRate, count] : clipRates) {
            if (rate == 0.0 && count > most) {
                most = count;
                fcm = RecordTime::fcmOf(clipRate);
            }
        }
        if (rate > 0.0)
            fcm = RecordTime::fcmOf(rate);
        for (const double candidate : candidates) {
            if (fcm.empty())
                fcm = RecordTime::fcmOf(candidate);
        }
        // Nothing to round without any rate at all.
        timing.exact = candidates.empty();
    }
    timing.rate = fcm.empty() ? 0.0 : RecordTime::rateOf(DmString(fcm));
    if (!(timing.rate > 0.0)) {
        fcm = RecordTime::fcmOf(24.0);
        timing.rate = 24.0;
    }
    timing.fcm = fcm;
    if (hasStart)
        timing.start =
            RecordTime::wholeIfNear(RecordTime::rescale(start.value, start.rate, timing.rate));
    timing.duration =
        RecordTime::wholeIfNear(RecordTime::rescale(duration.value, duration.rate, timing.rate));
    if (!timing.exact) {
        timing.start = std::round(timing.start);
        timing.duration = std::round(timing.duration);
    }
    return timing;
}

} // namespace ZEM_0_81::Interchange::OtioTiming
