#pragma once

#include "composition/CompositionApi.h"

#include <cstddef>
#include <cstdint>

namespace ZEM_0_81 {

/// The JSON dialects of composition documents.
enum class Dialect : std::int32_t {
    DmTree = 0,       ///< "dmtree": the edit tree's own JSON (Composition::JsonType::DmTree)
    Otio = 1,         ///< "otio": the product's OTIO dialect (Composition::JsonType::Otio)
    OtioStandard = 2, ///< "otio-std": standard OpenTimelineIO, read and written by StandardOtio
    Edl = 3,          ///< "edl": a CMX 3600 edit decision list, read and written by Edl
    Xmeml = 4,        ///< "xmeml": Final Cut Pro 7 interchange XML, read and written by Xmeml
    Fcpxml = 5,       ///< "fcpxml": FCPXML 1.8 to 1.13, read and written by Fcpxml
};

/// The dialect a document's text is written in, by one rule shared by every
/// reader of documents (the zemcomp tool, the Python bindings):
///
/// - edit-tree JSON: the top-level object has a "format" member;
/// - the product's OTIO dialect: the timeline (the top-level object, or its
///   "timeline" member when that is an object) has "metadata" → "zem" →
///   "ZEM_SCHEMA" equal to "TimelineMetadata.1";
/// - FCPXML: XML whose root element is "fcpxml" (Xml::rootElementOf);
/// - a CMX 3600 EDL: a text that Edl::looksLikeEdl takes for one (never a text
///   whose first character other than white space is '{' or '[');
/// - Final Cut Pro 7 XML: a text whose root element is "xmeml", past its XML
///   declaration, comments and document type; a text whose first character
///   other than white space is '<' is XML, never standard OTIO or an EDL, and
///   is read as xmeml too (whose reader says what root it has instead);
/// - anything else, malformed text included: standard OTIO (whose reader then
///   says what is wrong with it).
///
/// The text is scanned as a stream, without building a document: the scan stops
/// at the first member that decides, and otherwise keeps only the current nesting.
/// `text` need not be NUL-terminated; a null `text` is standard OTIO.
ZEM_API Dialect detectDialect(const char* text, std::size_t length);

/// The name of a dialect as the tool and the bindings spell it: "dmtree", "otio",
/// "otio-std", "edl", "xmeml", "fcpxml"; "" for a value outside the enumeration.
ZEM_API const char* dialectName(Dialect dialect);

/// The dialect named `name` (exactly as dialectName spells it). False, leaving
/// `dialect` untouched, for any other name or a null pointer.
ZEM_API bool dialectFromName(const char* name, Dialect& dialect);

} // namespace ZEM_0_81
