#include "interchange/JsonInput.h"

#include "composition/JsonException.h"

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace ZEM_0_81::Interchange {

namespace {

constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag |
                                 rapidjson::kParseFullPrecisionFlag |
                                 rapidjson::kParseNanAndInfFlag;

/// Hands every parse event on to the document and stops the parse once arrays
/// and objects nest deeper than kMaxInputDepth.
class DepthGuard {
public:
    explicit DepthGuard(rapidjson::Document& document) : m_document(document) {}

    bool tooDeep = false;

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

private:
    bool enter() {
        if (++m_depth <= kMaxInputDepth)
            return true;
        tooDeep = true;
        return false;
    }

    rapidjson::Document& m_document;
    unsigned m_depth = 0;
};

/// "line L, column C" of byte `offset` of `text`.
std::string placeOf(const char* text, std::size_t length, std::size_t offset) {
    offset = std::min(offset, length);
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

void parseInput(const char* text, std::size_t length, rapidjson::Document& document) {
    if (!text) {
        text = "";
        length = 0;
    }
    // The parser takes a NUL byte for the end of the text; a text holding one
    // would be cut short there without a word.
    if (const void* nul = std::memchr(text, '\0', length))
        throw Json::Exception(
            placeOf(text, length, static_cast<std::size_t>(static_cast<const char*>(nul) - text)) +
                ": the text holds a NUL byte",
            Status(Status::JsonSyntaxError));

    DepthGuard guard(document);
    rapidjson::ParseResult result;
    auto generator = [&](rapidjson::Document&) {
        rapidjson::MemoryStream stream(text, length);
        rapidjson::Reader reader;
        result = reader.Parse<kParseFlags>(stream, guard);
        return !result.IsError();
    };
    document.Populate(generator);
    if (guard.tooDeep)
        throw Json::Exception(placeOf(text, length, result.Offset()) +
                                  ": arrays and objects nest deeper than " +
                                  std::to_string(kMaxInputDepth) + " levels",
                              Status(Status::OtioImportFailed));
    if (result.IsError())
        throw Json::Exception(placeOf(text, length, result.Offset()) + ": " +
                                  rapidjson::GetParseError_En(result.Code()),
                              Status(Status::JsonSyntaxError));
}

} // namespace ZEM_0_81::Interchange
