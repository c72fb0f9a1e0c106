#include "interchange/otiostd/io/JsonInput.h"

#include "composition/JsonException.h"
#include "strictjson/StrictParse.h"

#include <cstring>
#include <string>

namespace ZEM_0_81::Interchange {

namespace {

[[noreturn]] void syntaxError(const StrictJson::SyntaxError& error, const char* reason) {
    throw Json::Exception("line " + std::to_string(error.line) + ", column " +
                              std::to_string(error.column) + ": " + reason,
                          Status(Status::JsonSyntaxError));
}

} // namespace

void parseInput(const char* text, std::size_t length, rapidotio::Document& document) {
    if (!text) {
        text = "";
        length = 0;
    }
    // The parser takes a NUL byte for the end of the text; a text holding one
    // would be cut short there without a word.
    if (const void* nul = std::memchr(text, '\0', length)) {
        const auto offset = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
        syntaxError(StrictJson::placeOf(text, offset), "the text holds a NUL byte");
    }
    if (!StrictJson::parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseNanAndInfFlag>(
            document, text)) {
        const std::optional<StrictJson::SyntaxError> error =
            StrictJson::syntaxErrorOf(document, text);
        syntaxError(*error, error->reason);
    }
}

} // namespace ZEM_0_81::Interchange
