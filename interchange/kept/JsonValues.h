#pragma once

#include "rapidotio/JsonAccess.h"

#include <string>

namespace ZEM_0_81::Interchange {

/// A value of a JSON text read (a standard OTIO document) or kept (another
/// tool's data, as ForeignMembers keeps it).
using Value = rapidotio::Value;

/// A finite number, integer or not.
bool finiteNumber(const Value& value, double& out);
/// A number in the single-precision range, rounded to it.
bool singleFloat(const Value& value, float& out);
/// The text of a string, NUL bytes included.
std::string textOf(const Value& value);

} // namespace ZEM_0_81::Interchange
