#pragma once

#include <rapidjson/document.h>

#include <cstddef>

namespace ZEM_0_81::Interchange {

/// Nesting of arrays and objects beyond which a text is refused. Far beyond any
/// document the writer makes (edit-tree nodes kept as metadata included), and low
/// enough that walking a document's values recursively cannot exhaust the stack.
constexpr unsigned kMaxInputDepth = 2048;

/// Parses `text` (`length` bytes, NUL-terminated or not) into `document`:
/// strict JSON, plus the NaN and Infinity literals that the OpenTimelineIO
/// library writes, with every number read to full precision. The parse is
/// iterative and guarded, so no text can exhaust the stack.
///
/// Throws Json::Exception with JsonSyntaxError (775) and "line L, column C:
/// reason" for malformed text (lines and columns count from 1, columns in bytes),
/// and with OtioImportFailed (517) for text nested deeper than kMaxInputDepth.
void parseInput(const char* text, std::size_t length, rapidjson::Document& document);

} // namespace ZEM_0_81::Interchange
