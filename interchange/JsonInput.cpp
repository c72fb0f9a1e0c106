#include "interchange/JsonInput.h"

#include "composition/JsonException.h"
#include "strictjson/StrictParse.h"

#include <rapidjson/reader.h>

#include <cstring>
#include <string>

namespace ZEM_0_81::Interchange {

namespace {

constexpr unsigned kFlags = rapidjson::kParseDefaultFlags | rapidjson::kParseFullPrecisionFlag |
                            rapidjson::kParseNanAndInfFlag;

[[noreturn]] void syntaxError(const StrictJson::SyntaxError& error, const char* reason) {
    throw Json::Exception("line " + std::to_string(error.line) + ", column " +
                              std::to_string(error.column) + ": " + reason,
                          Status(Status::JsonSyntaxError));
}

/// Hands the parser's events on to a document while counting how deeply arrays
/// and objects nest, and stops the parse when they nest deeper than the
/// recursive parser is let go.
class DepthGuard {
public:
    explicit DepthGuard(rapidjson::Document& document) : m_document(document) {}

    bool Null() { return m_document.Null(); }
    bool Bool(bool b) { return m_document.Bool(b); }
    bool Int(int i) { return m_document.Int(i); }
    bool Uint(unsigned u) { return m_document.Uint(u); }
    bool Int64(std::int64_t i) { return m_document.Int64(i); }
    bool Uint64(std::uint64_t u) { return m_document.Uint64(u); }
    bool Double(double d) { return m_document.Double(d); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool copy) {
        return m_document.RawNumber(text, length, copy);
    }
    bool String(const char* text, rapidjson::SizeType length, bool copy) {
        return m_document.String(text, length, copy);
    }
    bool Key(const char* text, rapidjson::SizeType length, bool copy) {
        return m_document.Key(text, length, copy);
    }
    bool StartObject() { return enter() && m_document.StartObject(); }
    bool EndObject(rapidjson::SizeType members) {
        --m_depth;
        return m_document.EndObject(members);
    }
    bool StartArray() { return enter() && m_document.StartArray(); }
    bool EndArray(rapidjson::SizeType elements) {
        --m_depth;
        return m_document.EndArray(elements);
    }

    /// True when the parse stopped at a level too deep.
    bool tooDeep() const { return m_tooDeep; }

private:
    bool enter() {
        if (++m_depth > StrictJson::kRecursiveParseDepth) {
            m_tooDeep = true;
            return false;
        }
        return true;
    }

    rapidjson::Document& m_document;
    int m_depth = 0;
    bool m_tooDeep = false;
};

} // namespace

void parseInput(const char* text, std::size_t length, rapidjson::Document& document) {
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

    // The recursive parser, the faster one, while the text nests no deeper than
    // the strict parse lets it (found as the parse goes, rather than by a pass of
    // its own over the text); past that depth, and for the error of a text that
    // nests deeper somewhere, the strict parse itself (the iterative parser).
    rapidjson::Reader reader;
    DepthGuard guard(document);
    rapidjson::ParseResult result;
    const auto parseGuarded = [&](rapidjson::Document&) {
        rapidjson::StringStream stream(text);
        result = reader.Parse<kFlags>(stream, guard);
        return static_cast<bool>(result);
    };
    document.Populate(parseGuarded);
    if (result)
        return;
    if (guard.tooDeep() || StrictJson::nestsDeeperThan(text, StrictJson::kRecursiveParseDepth)) {
        if (StrictJson::parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseNanAndInfFlag>(
                document, text))
            return;
        const std::optional<StrictJson::SyntaxError> error =
            StrictJson::syntaxErrorOf(document, text);
        syntaxError(*error, error->reason);
    }
    StrictJson::SyntaxError error = StrictJson::placeOf(text, result.Offset());
    syntaxError(error, rapidjson::GetParseError_En(result.Code()));
}

} // namespace ZEM_0_81::Interchange
