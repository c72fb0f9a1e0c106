#include "rapidotio/TimeValues.h"

#include "rapidotio/keys/ObjectKeys.h"
#include "rapidotio/keys/PointKeys.h"
#include "rapidotio/keys/RationalTimeKeys.h"
#include "rapidotio/keys/TimeRangeKeys.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace ZEM_0_81::rapidotio {

namespace {

using keys::ObjectKeys;
using keys::PointKeys;
using keys::RationalTimeKeys;
using keys::TimeRangeKeys;

bool valueIsSet(double value) {
    return std::fabs(value - DBL_MAX) >= DBL_EPSILON;
}
bool rateIsSet(double rate) {
    return std::fabs(rate) >= DBL_EPSILON;
}

void makeObject(Value& target) {
    if (!target.IsObject())
        target.SetObject();
}

} // namespace

bool isValid(const RationalTime& time) {
    return valueIsSet(time.value) && rateIsSet(time.rate);
}

bool isValid(const TimeRange& range) {
    return isValid(range.start_time) && isValid(range.duration);
}

void parseRationalTime(const Value& object, RationalTime& time) {
    if (silentString(object, ObjectKeys::schema) != RationalTimeKeys::schema)
        return;

    // Rates come as doubles, as integers, or (from some writers) as numeric text;
    // each failed attempt leaves its own diagnostic.
    double rate = 0;
    std::int32_t integer = 0;
    std::string text;
    if (getDouble(object, RationalTimeKeys::rate, rate))
        time.rate = rate;
    else if (getInt(object, RationalTimeKeys::rate, integer))
        time.rate = integer;
    else if (getString(object, RationalTimeKeys::rate, text))
        time.rate = std::strtod(text.c_str(), nullptr);

    double value = 0;
    if (getDouble(object, RationalTimeKeys::value, value))
        time.value = value;
    else if (getInt(object, RationalTimeKeys::value, integer))
        time.value = integer;
}

void parseTimeRange(const Value& object, TimeRange& range) {
    const Value* time = nullptr;
    if (getObject(object, TimeRangeKeys::startTime, time))
        parseRationalTime(*time, range.start_time);
    if (getObject(object, TimeRangeKeys::duration, time))
        parseRationalTime(*time, range.duration);
}

void parsePoint(const Value& object, Point& point) {
    if (silentString(object, ObjectKeys::schema) != PointKeys::schema)
        return;
    getDouble(object, PointKeys::x, point.x);
    getDouble(object, PointKeys::y, point.y);
    getDouble(object, PointKeys::width, point.width);
}

void writeRationalTime(const RationalTime& time, Value& target, Allocator& allocator) {
    makeObject(target);
    addMember(target, ObjectKeys::schema, RationalTimeKeys::schema, allocator);
    if (valueIsSet(time.value))
        addMember(target, RationalTimeKeys::value, time.value, allocator);
    if (rateIsSet(time.rate))
        addMember(target, RationalTimeKeys::rate, time.rate, allocator);
}

void writeTimeRange(const TimeRange& range, Value& target, Allocator& allocator) {
    makeObject(target);
    Value start(rapidjson::kObjectType);
    writeRationalTime(range.start_time, start, allocator);
    addMember(target, TimeRangeKeys::startTime, start, allocator);
    Value duration(rapidjson::kObjectType);
    writeRationalTime(range.duration, duration, allocator);
    addMember(target, TimeRangeKeys::duration, duration, allocator);
    addMember(target, ObjectKeys::schema, TimeRangeKeys::schema, allocator);
}

void writePoint(const Point& point, Value& target, Allocator& allocator) {
    makeObject(target);
    addMember(target, ObjectKeys::schema, PointKeys::schema, allocator);
    addMember(target, PointKeys::x, point.x, allocator);
    addMember(target, PointKeys::y, point.y, allocator);
    addMember(target, PointKeys::width, point.width, allocator);
}

} // namespace ZEM_0_81::rapidotio
