#include "rapidotio/JsonAccess.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace ZEM_0_81::rapidotio {

namespace {

/// Reports the outcome of a typed read of `member`, found for `key`: the
/// not-found or mismatch message, or the found message when `accepts` holds.
template <class Accepts>
const Value* check(const Value* member, const char* key, const char* typeWord, Accepts accepts) {
    if (!member) {
        debugPrint("Cannot find '%s'\n", key);
        return nullptr;
    }
    if (!accepts(*member)) {
        debugPrint("Expected '%s' to be %s, found %s\n", key, typeWord, typeName(*member));
        return nullptr;
    }
    // The common case of every read: no call at all while diagnostics are off.
    if (debugEnabled())
        debugPrint("Found %s\n", key);
    return member;
}

} // namespace

bool detail::debugSwitchFromEnvironment() {
    // Only the variable's existence matters, whatever its text.
    return std::getenv("KR_DEBUG_OTIO") != nullptr;
}

void debugPrint(const char* format, ...) {
    if (!debugEnabled())
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

std::string silentString(const Value& object, const char* key) {
    const Value* member = findMember(object, key);
    if (!member || !member->IsString())
        return std::string();
    return std::string(member->GetString());
}

bool takeText(const Value* found, const char* key, const char*& out) {
    const Value* member = check(found, key, "String", [](const Value& v) { return v.IsString(); });
    if (!member)
        return false;
    out = member->GetString();
    return true;
}

bool takeString(const Value* found, const char* key, std::string& out) {
    const char* text = nullptr;
    if (!takeText(found, key, text))
        return false;
    out = text;
    return true;
}

bool takeDouble(const Value* found, const char* key, double& out) {
    const Value* member = check(found, key, "Double", [](const Value& v) { return v.IsDouble(); });
    if (!member)
        return false;
    out = member->GetDouble();
    return true;
}

bool takeFloat(const Value* found, const char* key, float& out) {
    const Value* member = check(found, key, "Float", [](const Value& v) { return v.IsFloat(); });
    if (!member)
        return false;
    out = member->GetFloat();
    return true;
}

bool takeInt(const Value* found, const char* key, std::int32_t& out) {
    const Value* member = check(found, key, "Int", [](const Value& v) { return v.IsInt(); });
    if (!member)
        return false;
    out = member->GetInt();
    return true;
}

bool takeUint(const Value* found, const char* key, std::uint32_t& out) {
    const Value* member = check(found, key, "Uint", [](const Value& v) { return v.IsUint(); });
    if (!member)
        return false;
    out = member->GetUint();
    return true;
}

bool takeBool(const Value* found, const char* key, bool& out) {
    const Value* member = check(found, key, "bool", [](const Value& v) { return v.IsBool(); });
    if (!member)
        return false;
    out = member->IsTrue();
    return true;
}

bool takeObject(const Value* found, const char* key, const Value*& out) {
    const Value* member = check(found, key, "Object", [](const Value& v) { return v.IsObject(); });
    if (!member)
        return false;
    out = member;
    return true;
}

bool takeArray(const Value* found, const char* key, const Value*& out) {
    const Value* member = check(found, key, "Array", [](const Value& v) { return v.IsArray(); });
    if (!member)
        return false;
    out = member;
    return true;
}

double numberOrZero(const Value& value) {
    return value.IsNumber() ? value.GetDouble() : 0.0;
}

float narrowToFloat(double value) {
    // IEEE round to nearest: a value just beyond the largest float still rounds
    // to it; only values past half a unit beyond become infinite. With IEEE
    // floats the conversion is defined for every double.
    static_assert(std::numeric_limits<float>::is_iec559, "IEEE floats expected");
    return static_cast<float>(value);
}

const char* typeName(const Value& value) {
    static const char* const names[] = {"Null",  "False",  "True",  "Object",
                                        "Array", "String", "Number"};
    const unsigned type = static_cast<unsigned>(value.GetType());
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : "Null";
}

} // namespace ZEM_0_81::rapidotio
