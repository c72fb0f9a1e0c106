#pragma once

#include "composition/Composition.h"
#include "interchange/Dialect.h"
#include "interchange/LossReport.h"

#include <optional>
#include <string>

namespace zemcomp {

/// How a document's text is to be read: the library's dialects ("dmtree",
/// "otio", "otio-std"; ZEM_0_81::dialectName and dialectFromName name them).
using Dialect = ZEM_0_81::Dialect;

/// A document given on the command line: its name for messages and its text.
struct Document {
    std::string name; ///< the path, or "<stdin>" for "-"
    std::string text;
};

/// Reads `path` ("-" for standard input). On failure returns nothing and sets
/// `error` to a message naming the file and the reason.
std::optional<Document> readDocument(const std::string& path, std::string& error);

/// Where and why a text is not well-formed JSON, as "LINE:COLUMN: reason"; empty
/// when the text parses. Lines and columns count from 1; columns count bytes.
/// `nanAndInfinity` lets NaN and Infinity literals through, as standard OTIO does.
std::string jsonSyntaxError(const std::string& text, bool nanAndInfinity = false);

/// A document read into a composition.
struct Loaded {
    /// Never null; without content when reading standard OTIO failed.
    ZEM_0_81::SharedPtr<ZEM_0_81::Composition> composition;
    /// The dialect it was read in: the one given, or the one detected.
    Dialect dialect = Dialect::Otio;
    /// What reading standard OTIO lost (empty for the other dialects).
    ZEM_0_81::LossReport losses;
    /// The result of reading standard OTIO, which is read at once; the other
    /// dialects are imported on first use and report through the composition.
    ZEM_0_81::Status status;
    std::string message; ///< why reading failed
};

/// Reads `document` in `dialect`, or in the dialect its text shows when none is
/// given (ZEM_0_81::detectDialect).
Loaded load(const Document& document, std::optional<Dialect> dialect);

/// "status 517: the OTIO JSON could not be imported".
std::string describe(const ZEM_0_81::Status& status);

/// The message for a document whose import failed: "NAME:LINE:COLUMN: reason
/// (status ...)" for a JSON syntax error, "NAME: why (status ...)" when standard
/// OTIO could not be read, else "NAME: status ...".
std::string importFailure(const Document& document, const Loaded& loaded,
                          const ZEM_0_81::Status& status);

/// The path of the bundled example document, for commands run without a file.
std::string defaultExample(const char* argv0);

} // namespace zemcomp
