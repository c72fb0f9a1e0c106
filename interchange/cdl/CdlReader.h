#pragma once

#include "interchange/AscCdl.h"
#include "interchange/LossReport.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81::Interchange::Cdl {

/// Reads ASC CDL text as AscCdl::read describes, reporting in `losses` (which it
/// does not empty). False, with `out` untouched and `message` set to "line N:
/// why", when the text is not XML, its root is none of the three forms, or it
/// holds no correction.
///
/// The XML parser (pugixml) neither recurses on the nesting of elements nor
/// reads a document type: its entities stay in the text as they are written
/// ("&name;"), and nothing outside the text is opened. Only the elements at
/// the places the three forms give are read, so the nesting of the rest does not
/// matter either.
bool readText(const char* text, std::size_t length, AscCdl::Contents& out, LossReport& losses,
              std::string& message);

} // namespace ZEM_0_81::Interchange::Cdl
