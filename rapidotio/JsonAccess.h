#pragma once

#include <rapidjson/document.h>

#include <cstdint>
#include <string>

#if defined(__GNUC__) || defined(__clang__)
#define ZEM_RAPIDOTIO_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZEM_RAPIDOTIO_PRINTF(fmt, args)
#endif

namespace ZEM_0_81::rapidotio {

/// A value of the OTIO document's DOM, and the allocator that owns written values.
using Value = rapidjson::Value;
using Allocator = rapidjson::MemoryPoolAllocator<>;
using Document = rapidjson::Document;

/// Prints a printf-style diagnostic to standard error, as it stands (no prefix,
/// no time stamp, no added line break), while the environment variable
/// "KR_DEBUG_OTIO" exists. The variable is looked up once per process, on the
/// first call; when it is absent nothing is formatted.
void debugPrint(const char* format, ...) ZEM_RAPIDOTIO_PRINTF(1, 2);

/// True when diagnostics are switched on (same one-time switch as debugPrint).
bool debugEnabled();

// Typed member getters. Each searches `object` for the first member named `key`
// and returns true, after writing `out`, when the member exists and has the
// storage the getter wants. Otherwise it prints "Cannot find '<key>'" or the
// getter's mismatch message through debugPrint, returns false and leaves `out`
// untouched. A searched value that is not an object has no members: every key
// is reported as not found. Number storage decides, not the value: an integer
// literal is not a double and 5.0 is not an int.

/// A string member; the copy stops at the first NUL byte.
bool getString(const Value& object, const char* key, std::string& out);
/// A number stored as a double (written with a fraction or an exponent).
bool getDouble(const Value& object, const char* key, double& out);
/// A number stored as a double that lies within the float range.
bool getFloat(const Value& object, const char* key, float& out);
/// An integer literal that fits a signed 32-bit integer.
bool getInt(const Value& object, const char* key, std::int32_t& out);
/// An integer literal that fits an unsigned 32-bit integer.
bool getUint(const Value& object, const char* key, std::uint32_t& out);
/// JSON true or false.
bool getBool(const Value& object, const char* key, bool& out);
/// An object member; `out` points at it inside the DOM.
bool getObject(const Value& object, const char* key, const Value*& out);
/// An array member; `out` points at it inside the DOM.
bool getArray(const Value& object, const char* key, const Value*& out);

/// The first member named `key` of `object`, or null when `object` is not an
/// object or has no such member. Prints nothing.
const Value* findMember(const Value& object, const char* key);

/// The member `key` as a string (up to its first NUL byte), or "" when it is
/// missing, not a string, or `object` is not an object. Prints nothing.
std::string silentString(const Value& object, const char* key);

/// Any stored number form converted to double; 0 for a value that is not a number.
double numberOrZero(const Value& value);

/// A double narrowed to float with IEEE rounding to nearest: magnitudes that
/// round beyond the largest float become infinite.
float narrowToFloat(double value);

/// The type name used in diagnostics: "Null", "False", "True", "Object",
/// "Array", "String" or "Number".
const char* typeName(const Value& value);

} // namespace ZEM_0_81::rapidotio
