#include "rapidotio/TimeValues.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace ZEM_0_81::rapidotio {

namespace {

constexpr const char* rationalTimeSchema = "RationalTime.1";
constexpr const char* timeRangeSchema = "TimeRange.1";
constexpr const char* pointSchema = "Point.1";

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
    if (silentString(object, "OTIO_SCHEMA") != rationalTimeSchema)
        return;

    // Rates come as doubles, as integers, or (from some writers) as numeric text;
    // each failed attempt leaves its own diagnostic.
    double rate = 0;
    std::int32_t integer = 0;
    std::string text;
    if (getDouble(object, "rate", rate))
        time.rate = rate;
    else if (getInt(object, "rate", integer))
        time.rate = integer;
    else if (getString(object, "rate", text))
        time.rate = std::strtod(text.c_str(), nullptr);

    double value = 0;
    if (getDouble(object, "value", value))
        time.value = value;
    else if (getInt(object, "value", integer))
        time.value = integer;
}

void parseTimeRange(const Value& object, TimeRange& range) {
    const Value* time = nullptr;
    if (getObject(object, "start_time", time))
        parseRationalTime(*time, range.start_time);
    if (getObject(object, "duration", time))
        parseRationalTime(*time, range.duration);
}

void parsePoint(const Value& object, Point& point) {
    if (silentString(object, "OTIO_SCHEMA") != pointSchema)
        return;
    getDouble(object, "x", point.x);
    getDouble(object, "y", point.y);
    getDouble(object, "width", point.width);
}

void writeRationalTime(const RationalTime& time, Value& target, Allocator& allocator) {
    makeObject(target);
    addMember(target, "OTIO_SCHEMA", rationalTimeSchema, allocator);
    if (valueIsSet(time.value))
        addMember(target, "value", time.value, allocator);
    if (rateIsSet(time.rate))
        addMember(target, "rate", time.rate, allocator);
}

void writeTimeRange(const TimeRange& range, Value& target, Allocator& allocator) {
    makeObject(target);
    Value start(rapidjson::kObjectType);
    writeRationalTime(range.start_time, start, allocator);
    addMember(target, "start_time", start, allocator);
    Value duration(rapidjson::kObjectType);
    writeRationalTime(range.duration, duration, allocator);
    addMember(target, "duration", duration, allocator);
    addMember(target, "OTIO_SCHEMA", timeRangeSchema, allocator);
}

void writePoint(const Point& point, Value& target, Allocator& allocator) {
    makeObject(target);
    addMember(target, "OTIO_SCHEMA", pointSchema, allocator);
    addMember(target, "x", point.x, allocator);
    addMember(target, "y", point.y, allocator);
    addMember(target, "width", point.width, allocator);
}

} // namespace ZEM_0_81::rapidotio
