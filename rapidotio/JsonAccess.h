#pragma once

#include "rapidotio/ValuePool.h"

#include <rapidjson/document.h>

#include <cstdint>
#include <cstring>
#include <string>

#if defined(__GNUC__) || defined(__clang__)
#define ZEM_RAPIDOTIO_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZEM_RAPIDOTIO_PRINTF(fmt, args)
#endif

namespace ZEM_0_81::rapidotio {

/// A value of the OTIO document's DOM, and the allocator that owns its values.
using Allocator = ValuePool;
using Value = rapidjson::GenericValue<rapidjson::UTF8<>, Allocator>;
using Document = rapidjson::GenericDocument<rapidjson::UTF8<>, Allocator>;

/// Prints a printf-style diagnostic to standard error, as it stands (no prefix,
/// no time stamp, no added line break), while the environment variable
/// "KR_DEBUG_OTIO" exists. The variable is looked up once per process, on the
/// first call; when it is absent nothing is formatted.
void debugPrint(const char* format, ...) ZEM_RAPIDOTIO_PRINTF(1, 2);

namespace detail {
/// Whether "KR_DEBUG_OTIO" exists now; debugEnabled keeps the first answer.
bool debugSwitchFromEnvironment();
} // namespace detail

/// True when diagnostics are switched on (same one-time switch as debugPrint).
/// Inline, so that readers can skip a diagnostic's arguments cheaply.
inline bool debugEnabled() {
    static const bool enabled = detail::debugSwitchFromEnvironment();
    return enabled;
}

/// True when the string `value` (a member's name, mostly) is `text`, of `length`
/// bytes. Names differ mostly in length or in their first byte: both are
/// compared before the bytes are, without a call.
inline bool textIs(const Value& value, const char* text, std::size_t length) {
    if (value.GetStringLength() != length)
        return false;
    const char* const bytes = value.GetString();
    return length == 0 || (bytes[0] == text[0] && std::memcmp(bytes, text, length) == 0);
}

/// The first member named `key` of `object`, or null when `object` is not an
/// object or has no such member. Prints nothing. Inline: for the constant keys
/// of the readers, the key's length and its comparison are fixed at compile time.
inline const Value* findMember(const Value& object, const char* key) {
    if (!object.IsObject() || !key)
        return nullptr;
    const std::size_t length = std::char_traits<char>::length(key);
    // Linear scan from the first member: the first of duplicate names wins.
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        if (textIs(it->name, key, length))
            return &it->value;
    }
    return nullptr;
}

// Typed member reads. Each takes the member found for `key` (null when there is
// none) and returns true, after writing `out`, when the member exists and has
// the storage the read wants. Otherwise it prints "Cannot find '<key>'" or the
// read's mismatch message through debugPrint, returns false and leaves `out`
// untouched; "Found <key>" is printed on success. Number storage decides, not
// the value: an integer literal is not a double and 5.0 is not an int.

/// A string; the copy stops at the first NUL byte.
bool takeString(const Value* member, const char* key, std::string& out);
/// A string as the DOM holds it: `out` points at its NUL-terminated text, which
/// lives as long as the DOM. For readers that need no copy of their own.
bool takeText(const Value* member, const char* key, const char*& out);
/// A number stored as a double (written with a fraction or an exponent).
bool takeDouble(const Value* member, const char* key, double& out);
/// A number stored as a double that lies within the float range.
bool takeFloat(const Value* member, const char* key, float& out);
/// An integer literal that fits a signed 32-bit integer.
bool takeInt(const Value* member, const char* key, std::int32_t& out);
/// An integer literal that fits an unsigned 32-bit integer.
bool takeUint(const Value* member, const char* key, std::uint32_t& out);
/// JSON true or false.
bool takeBool(const Value* member, const char* key, bool& out);
/// An object; `out` points at it inside the DOM.
bool takeObject(const Value* member, const char* key, const Value*& out);
/// An array; `out` points at it inside the DOM.
bool takeArray(const Value* member, const char* key, const Value*& out);

// Typed member getters: the read above of the first member named `key` of
// `object`. A searched value that is not an object has no members: every key
// is reported as not found.

/// A string member; the copy stops at the first NUL byte.
inline bool getString(const Value& object, const char* key, std::string& out) {
    return takeString(findMember(object, key), key, out);
}
/// A number stored as a double (written with a fraction or an exponent).
inline bool getDouble(const Value& object, const char* key, double& out) {
    return takeDouble(findMember(object, key), key, out);
}
/// A number stored as a double that lies within the float range.
inline bool getFloat(const Value& object, const char* key, float& out) {
    return takeFloat(findMember(object, key), key, out);
}
/// An integer literal that fits a signed 32-bit integer.
inline bool getInt(const Value& object, const char* key, std::int32_t& out) {
    return takeInt(findMember(object, key), key, out);
}
/// An integer literal that fits an unsigned 32-bit integer.
inline bool getUint(const Value& object, const char* key, std::uint32_t& out) {
    return takeUint(findMember(object, key), key, out);
}
/// JSON true or false.
inline bool getBool(const Value& object, const char* key, bool& out) {
    return takeBool(findMember(object, key), key, out);
}
/// An object member; `out` points at it inside the DOM.
inline bool getObject(const Value& object, const char* key, const Value*& out) {
    return takeObject(findMember(object, key), key, out);
}
/// An array member; `out` points at it inside the DOM.
inline bool getArray(const Value& object, const char* key, const Value*& out) {
    return takeArray(findMember(object, key), key, out);
}

/// The member `key` as a string (up to its first NUL byte), or "" when it is
/// missing, not a string, or `object` is not an object. Prints nothing.
std::string silentString(const Value& object, const char* key);

/// True when the member `key` is a string whose text up to its first NUL byte
/// is `text` (silentString(object, key) == text, without the copy). Prints nothing.
inline bool stringMemberIs(const Value& object, const char* key, const char* text) {
    const Value* member = findMember(object, key);
    return member && member->IsString() && std::strcmp(member->GetString(), text) == 0;
}

/// Any stored number form converted to double; 0 for a value that is not a number.
double numberOrZero(const Value& value);

/// A double narrowed to float with IEEE rounding to nearest: magnitudes that
/// round beyond the largest float become infinite.
float narrowToFloat(double value);

/// The type name used in diagnostics: "Null", "False", "True", "Object",
/// "Array", "String" or "Number".
const char* typeName(const Value& value);

} // namespace ZEM_0_81::rapidotio
