#pragma once

#include "rapidotio/JsonAccess.h"

#include <rapidjson/document.h>

#include <cstddef>

namespace ZEM_0_81::Interchange {

/// Parses `text` (`length` bytes followed by a NUL byte, as std::string::c_str
/// gives) into `document` through the project's strict parse: strict JSON plus
/// the NaN and Infinity literals that the OpenTimelineIO library writes, every
/// number read to full precision, and no text able to exhaust the stack.
///
/// Throws Json::Exception with JsonSyntaxError (775) and "line L, column C:
/// reason" for malformed text (lines and columns count from 1, columns in
/// bytes), a NUL byte inside the text included.
void parseInput(const char* text, std::size_t length, rapidotio::Document& document);

} // namespace ZEM_0_81::Interchange
