#include "interchange/otiostd/timing/TimeSchema.h"

#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/timing/RecordTime.h"

namespace ZEM_0_81::Interchange::TimeSchema {

void writeTime(OtioWriter& writer, const RationalTime& time) {
    SchemaMembers::start(writer, kRationalTime);
    writer.member(kRate, time.rate);
    writer.member(kValue, time.value);
    writer.endObject();
}

void writeRange(OtioWriter& writer, const TimeRange& range) {
    SchemaMembers::start(writer, kTimeRange);
    writer.key(kDuration);
    writeTime(writer, range.duration);
    writer.key(kStartTime);
    writeTime(writer, range.start_time);
    writer.endObject();
}

namespace {

// Reads the time `object` (already entered); false, with the loss reported, when
// it lacks a finite value or rate.
bool readTimeObject(const Members& owner, const Value& object, RationalTime& time) {
    const Members members(owner.context(), &object, kRationalTime);
    RationalTime read = kZeroTime;
    if (members.getDouble(kValue, read.value) && members.getDouble(kRate, read.rate)) {
        read.rate = owner.context().snapsRates() ? RecordTime::snapRate(read.rate)
                                                 : RecordTime::canonicalRate(read.rate);
        time = read;
        return true;
    }
    owner.context().lose(kRationalTime, "ignored: a time needs a finite \"value\" and \"rate\"");
    return false;
}

} // namespace

bool readTime(const Members& members, const char* key, RationalTime& time) {
    const Value* object = members.objectMember(key);
    if (!object)
        return false;
    const ReadContext::Scope scope(members.context(), key);
    return readTimeObject(members, *object, time);
}

bool readRange(const Members& members, const char* key, TimeRange& range) {
    const Value* object = members.objectMember(key);
    if (!object)
        return false;
    const ReadContext::Scope scope(members.context(), key);
    const Members parts(members.context(), object, kTimeRange);
    TimeRange read = kZeroRange;
    if (readTime(parts, kStartTime, read.start_time) && readTime(parts, kDuration, read.duration)) {
        range = read;
        return true;
    }
    if (!parts.has(kStartTime) || !parts.has(kDuration))
        members.context().lose(kTimeRange,
                               "ignored: a range needs a \"start_time\" and a \"duration\"");
    return false;
}

} // namespace ZEM_0_81::Interchange::TimeSchema
