#pragma once

#include "composition/Composition.h"

#include <optional>
#include <string>

namespace zemcomp {

/// How a document's text is to be read.
enum class Dialect { Otio, DmTree };

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
std::string jsonSyntaxError(const std::string& text);

/// A new composition holding `document` as JSON of `dialect`.
ZEM_0_81::SharedPtr<ZEM_0_81::Composition> load(const Document& document, Dialect dialect);

/// "status 517: the OTIO JSON could not be imported".
std::string describe(const ZEM_0_81::Status& status);

/// The message for a document whose import failed: "NAME:LINE:COLUMN: reason
/// (status ...)" for a JSON syntax error, else "NAME: status ...".
std::string importFailure(const Document& document, const ZEM_0_81::Status& status);

/// The dialect's name on the command line: "otio" or "dmtree".
const char* dialectName(Dialect dialect);

/// The path of the bundled example document, for commands run without a file.
std::string defaultExample(const char* argv0);

} // namespace zemcomp
