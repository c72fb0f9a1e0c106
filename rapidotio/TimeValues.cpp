#include "rapidotio/TimeValues.h"

#include "rapidotio/keys/ObjectKeys.h"
#include "rapidotio/keys/PointKeys.h"
#include "rapidotio/keys/RationalTimeKeys.h"
#include "rapidotio/keys/TimeRangeKeys.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
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

} // namespace

bool isValid(const RationalTime& time) {
    return valueIsSet(time.value) && rateIsSet(time.rate);
}

bool isValid(const TimeRange& range) {
    return isValid(range.start_time) && isValid(range.duration);
}

void parseRationalTime(const Value& object, RationalTime& time) {
    if (!stringMemberIs(object, ObjectKeys::schema, RationalTimeKeys::schema))
        return;

    // Rates come as doubles, as integers, or (from some writers) as numeric text;
    // each failed attempt leaves its own diagnostic. Each member is looked up once.
    const Value* const rateMember = findMember(object, RationalTimeKeys::rate);
    double rate = 0;
    std::int32_t integer = 0;
    std::string text;
    if (takeDouble(rateMember, RationalTimeKeys::rate, rate))
        time.rate = rate;
    else if (takeInt(rateMember, RationalTimeKeys::rate, integer))
        time.rate = integer;
    else if (takeString(rateMember, RationalTimeKeys::rate, text))
        time.rate = std::strtod(text.c_str(), nullptr);

    const Value* const valueMember = findMember(object, RationalTimeKeys::value);
    double value = 0;
    if (takeDouble(valueMember, RationalTimeKeys::value, value))
        time.value = value;
    else if (takeInt(valueMember, RationalTimeKeys::value, integer))
        time.value = integer;
}

void parseTimeRange(const Value& object, TimeRange& range) {
    const Value* time = nullptr;
    if (getObject(object, TimeRangeKeys::startTime, time))
        parseRationalTime(*time, range.start_time);
    if (getObject(object, TimeRangeKeys::duration, time))
        parseRationalTime(*time, range.duration);
}

namespace {

/// The point read at once when its members are the four a point is written with,
/// in the order this system writes them or sorted by name (as libraries that keep
/// objects in maps save them), the schema being "Point.1" exactly, and no
/// diagnostic is asked for: what the lookups below would read, without them.
bool readFourMemberPoint(const Value& object, Point& point) {
    using Text = std::char_traits<char>;
    constexpr std::size_t schemaLength = Text::length(ObjectKeys::schema);
    constexpr std::size_t pointLength = Text::length(PointKeys::schema);
    constexpr std::size_t xLength = Text::length(PointKeys::x);
    constexpr std::size_t yLength = Text::length(PointKeys::y);
    constexpr std::size_t widthLength = Text::length(PointKeys::width);
    if (debugEnabled() || !object.IsObject() || object.MemberCount() != 4)
        return false;
    const Value::Member* const members = &*object.MemberBegin();
    if (!textIs(members[0].name, ObjectKeys::schema, schemaLength))
        return false;
    const Value* x = &members[1].value;
    const Value* y = &members[2].value;
    const Value* width = &members[3].value;
    if (textIs(members[1].name, PointKeys::x, xLength)) {
        // As written: "x", "y", "width".
        if (!textIs(members[2].name, PointKeys::y, yLength) ||
            !textIs(members[3].name, PointKeys::width, widthLength))
            return false;
    } else {
        // Sorted: "width", "x", "y".
        if (!textIs(members[1].name, PointKeys::width, widthLength) ||
            !textIs(members[2].name, PointKeys::x, xLength) ||
            !textIs(members[3].name, PointKeys::y, yLength))
            return false;
        width = &members[1].value;
        x = &members[2].value;
        y = &members[3].value;
    }
    const Value& schema = members[0].value;
    if (!schema.IsString() || !textIs(schema, PointKeys::schema, pointLength))
        return false;
    if (x->IsDouble())
        point.x = x->GetDouble();
    if (y->IsDouble())
        point.y = y->GetDouble();
    if (width->IsDouble())
        point.width = width->GetDouble();
    return true;
}

} // namespace

void parsePoint(const Value& object, Point& point) {
    // A stroke holds hundreds of points, nearly always in one of these forms.
    if (readFourMemberPoint(object, point))
        return;
    if (!stringMemberIs(object, ObjectKeys::schema, PointKeys::schema))
        return;
    getDouble(object, PointKeys::x, point.x);
    getDouble(object, PointKeys::y, point.y);
    getDouble(object, PointKeys::width, point.width);
}

void writeRationalTime(const RationalTime& time, MemberWriter& writer) {
    writer.member(ObjectKeys::schema, RationalTimeKeys::schema);
    if (valueIsSet(time.value))
        writer.member(RationalTimeKeys::value, time.value);
    if (rateIsSet(time.rate))
        writer.member(RationalTimeKeys::rate, time.rate);
}

void writeTimeRange(const TimeRange& range, MemberWriter& writer) {
    writer.member(TimeRangeKeys::startTime, range.start_time);
    writer.member(TimeRangeKeys::duration, range.duration);
    writer.member(ObjectKeys::schema, TimeRangeKeys::schema);
}

void writePoint(const Point& point, MemberWriter& writer) {
    writer.member(ObjectKeys::schema, PointKeys::schema);
    writer.member(PointKeys::x, point.x);
    writer.member(PointKeys::y, point.y);
    writer.member(PointKeys::width, point.width);
}

} // namespace ZEM_0_81::rapidotio
