#include "interchange/otiostd/timing/OtioTiming.h"

#include "interchange/otiostd/schemas/ClipSchema.h"
#include "interchange/otiostd/schemas/MediaReferenceSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/RecordTime.h"
#include "rapidotio/keys/TimelineKeys.h"

#include <cmath>
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
        RationalTime item;
        timed = durationOf(child, item, depth + 1) && timed;
        duration = plus(duration, item);
    }
    if (!children->Empty()) {
        RationalTime offset;
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
        RationalTime item;
        const Kind kind = kindOf(child);
        if (kind == Kind::Transition) {
            RationalTime in, out;
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

} // namespace

const Value* memberOf(const Value& object, const char* key) {
    if (!object.IsObject())
        return nullptr;
    const auto found = object.FindMember(key);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

Kind kindOf(const Value& object) {
    std::string type;
    int version = 0;
    if (!SchemaMembers::parseSchema(SchemaMembers::schemaOf(object), type, version))
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

double snapRate(double rate) {
    const std::string fcm = RecordTime::fcmOf(rate);
    if (fcm.empty())
        return rate;
    const double exact = RecordTime::rateOf(DmString(fcm));
    return exact > 0.0 && std::fabs(exact - rate) <= 1e-3 ? exact : rate;
}

RationalTime plus(const RationalTime& a, const RationalTime& b) {
    if (a.rate < b.rate)
        return RationalTime{RecordTime::rescale(a.value, a.rate, b.rate) + b.value, b.rate};
    return RationalTime{RecordTime::rescale(b.value, b.rate, a.rate) + a.value, a.rate};
}

bool lessThan(const RationalTime& a, const RationalTime& b) {
    return a.value / a.rate < b.value / b.rate;
}

bool timeOf(const Value* object, RationalTime& time) {
    if (!object || !object->IsObject())
        return false;
    const Value* value = memberOf(*object, TimeSchema::kValue);
    const Value* rate = memberOf(*object, TimeSchema::kRate);
    double v = 0.0, r = 0.0;
    if (!value || !rate || !finiteNumber(*value, v) || !finiteNumber(*rate, r) || !(r > 0.0))
        return false;
    time = RationalTime{v, snapRate(r)};
    return true;
}

bool rangeOf(const Value* object, TimeRange& range) {
    if (!object || !object->IsObject())
        return false;
    TimeRange read;
    if (!timeOf(memberOf(*object, TimeSchema::kStartTime), read.start) ||
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
    TimeRange range;
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
        RationalTime in, out;
        timeOf(memberOf(item, kInOffset), in);
        timeOf(memberOf(item, kOutOffset), out);
        duration = plus(in, out);
        return true;
    }
    default:
        return false;
    }
}

TimelineTiming timelineTiming(const Value& timeline) {
    TimelineTiming timing;
    RationalTime start;
    const bool hasStart =
        timeOf(memberOf(timeline, rapidotio::keys::TimelineKeys::globalStartTime), start);
    RationalTime duration = kNothing;
    const Value* stack = memberOf(timeline, rapidotio::keys::TimelineKeys::tracks);
    if (stack && stack->IsObject())
        durationOf(*stack, duration);

    // Every time the composition must hold in whole frames, and the rates to try.
    std::vector<RationalTime> times;
    std::vector<double> candidates;
    if (hasStart) {
        times.push_back(start);
        addCandidate(candidates, start.rate);
    }
    times.push_back(duration);
    if (duration.value != 0.0 || duration.rate != kNothing.rate)
        addCandidate(candidates, duration.rate);
    if (const Value* tracks = stack ? childrenOf(*stack) : nullptr) {
        for (const Value& track : tracks->GetArray()) {
            const Value* items = kindOf(track) == Kind::Track ? childrenOf(track) : nullptr;
            if (!items)
                continue;
            RationalTime cursor = kNothing;
            for (const Value& item : items->GetArray()) {
                const Kind kind = kindOf(item);
                if (kind == Kind::Transition || kind == Kind::Other)
                    continue;
                RationalTime length;
                if (!durationOf(item, length, 1))
                    continue;
                times.push_back(length);
                addCandidate(candidates, length.rate);
                cursor = plus(cursor, length);
                times.push_back(cursor);
            }
        }
    }

    double rate = 0.0;
    for (const double candidate : candidates) {
        bool whole = true;
        for (const RationalTime& time : times) {
            if (!isWholeAt(time, candidate)) {
                whole = false;
                break;
            }
        }
        if (whole) {
            rate = candidate;
            break;
        }
    }
    if (rate == 0.0) {
        for (const double candidate : candidates)
            rate = std::fmax(rate, candidate);
    }
    if (rate > 0.0)
        timing.rate = RecordTime::rateOf(DmString(RecordTime::fcmOf(rate)));
    if (!(timing.rate > 0.0))
        timing.rate = 24.0;
    if (hasStart)
        timing.start =
            RecordTime::wholeIfNear(RecordTime::rescale(start.value, start.rate, timing.rate));
    timing.duration =
        RecordTime::wholeIfNear(RecordTime::rescale(duration.value, duration.rate, timing.rate));
    return timing;
}

} // namespace ZEM_0_81::Interchange::OtioTiming
