#pragma once

#include "interchange/Documents.h"

#include <optional>
#include <string>

namespace zemcomp {

/// How a document's text is to be read: the library's dialects ("dmtree",
/// "otio", "otio-std"; ZEM_0_81::dialectName and dialectFromName name them).
using Dialect = ZEM_0_81::Dialect;

/// A document read into a composition (ZEM_0_81::Documents::read).
using Loaded = ZEM_0_81::DocumentReading;

/// A document given on the command line: its name for messages and its text.
struct Document {
    std::string name; ///< the path, or "<stdin>" for "-"
    std::string text;
};

/// Reads `path` ("-" for standard input). On failure returns nothing and sets
/// `error` to a message naming the file and the reason.
std::optional<Document> readDocument(const std::string& path, std::string& error);

/// Reads `document` as `options` say, in the dialect they name, else the one its
/// name says (".edl"), else the one its text shows; a list without a TITLE
/// is named after the file, without its extension.
Loaded load(const Document& document, ZEM_0_81::DocumentReadOptions options);

/// "status 517: the OTIO JSON could not be imported".
std::string describe(const ZEM_0_81::Status& status);

/// The message for a document whose import failed with `status`: "NAME:LINE:
/// COLUMN: reason (status ...)" for a JSON syntax error, "NAME: why (status
/// ...)" when the reader said why, else "NAME: status ...".
std::string importFailure(const Document& document, const Loaded& loaded,
                          const ZEM_0_81::Status& status);

/// The path of the bundled example document, for commands run without a file.
std::string defaultExample(const char* argv0);

} // namespace zemcomp
