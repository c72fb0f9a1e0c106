#pragma once

// Strict JSON parsing that no text can make exhaust the call stack, and the
// place of a syntax error as a line and column. Header-only over RapidJSON, so
// that every layer that reads JSON (the edit-tree library, the OTIO reader and
// the command-line tool) parses the same way without depending on one another.

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace StrictJson {

/// Where a NaN, Inf or Infinity literal outside strings is followed by a digit,
/// a point or an exponent: the offset of that character, from `from` (a place
/// outside strings) on in the first `length` bytes of `text`; `length` when there
/// is none. RapidJSON 1.1, asked for these literals (kParseNanAndInfFlag), takes
/// such a tail as more of the number, and its full-precision conversion of it
/// reads outside its memory.
inline std::size_t literalTail(const char* text, std::size_t from, std::size_t length) {
    const std::string_view view(text, length);
    bool inString = false;
    for (std::size_t i = from; i < length; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            continue;
        }
        if (c != 'N' && c != 'I')
            continue;
        std::size_t end = 0;
        if (view.compare(i, 3, "NaN") == 0)
            end = i + 3;
        else if (view.compare(i, 8, "Infinity") == 0)
            end = i + 8;
        else if (view.compare(i, 3, "Inf") == 0)
            end = i + 3;
        if (end == 0)
            continue;
        if (end < length) {
            const char next = text[end];
            if ((next >= '0' && next <= '9') || next == '.' || next == 'e' || next == 'E')
                return end;
        }
        i = end - 1;
    }
    return length;
}

/// True for the bytes 0x1A to 0x1F. No JSON text holds one as it is (within a
/// string it is a control character, outside one no whitespace), but RapidJSON
/// 1.1's SSE2 string scan, which every parse of this system uses on x86-64,
/// takes one for more of a string where it falls in the 16 bytes it reads at
/// once: whether the text is refused would depend on where it lies in memory.
inline bool isMisreadControl(char c) {
    return static_cast<unsigned char>(static_cast<unsigned char>(c) - 0x1A) < 6;
}

/// The offset of the first byte isMisreadControl among the first `length`
/// bytes of `text`; `length` when there is none.
inline std::size_t misreadControl(const char* text, std::size_t length) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a whole text is looked through before it is parsed.
    const __m128i first = _mm_set1_epi8(0x1A), last = _mm_set1_epi8(5);
    for (; i + 16 <= length; i += 16) {
        const __m128i above =
            _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i)), first);
        const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(above, last), above));
        if (found != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    return static_cast<std::size_t>(std::find_if(text + i, text + length, isMisreadControl) - text);
}

/// When the first `length` bytes of `text` hold what RapidJSON 1.1 misreads, a
/// byte isMisreadControl or, with `literals` (kParseNanAndInfFlag), a literal
/// tail (literalTail), `guarded` becomes a copy of them with each of those a
/// control character (0x01) that every parse refuses where it stands, as
/// RapidJSON refuses the byte it replaces when it reads it one byte at a time,
/// and the result is true: parsed instead of `text`, the copy fails at the
/// first of them with the error the byte or the tail deserves. False,
/// `guarded` untouched, when there is none.
inline bool guardMisreads(const char* text, std::size_t length, bool literals,
                          std::string& guarded) {
    std::size_t control = misreadControl(text, length);
    const std::string_view view(text, length);
    // Most texts hold no such literal at all, not even in a string.
    std::size_t tail = length;
    if (literals &&
        (view.find("NaN") != std::string_view::npos || view.find("Inf") != std::string_view::npos))
        tail = literalTail(text, 0, length);
    if (control == length && tail == length)
        return false;
    guarded.assign(text, length);
    for (; control != length; control = misreadControl(guarded.c_str(), length))
        guarded[control] = '\x01';
    for (; tail != length; tail = literalTail(guarded.c_str(), tail + 1, length))
        guarded[tail] = '\x01';
    return true;
}

/// document.Parse<Flags>(text, length), refusing the bytes and, with
/// kParseNanAndInfFlag, the literal tails that parse() refuses.
template <unsigned Flags, class Document>
Document& parseGuarded(Document& document, const char* text, std::size_t length) {
    std::string guarded;
    if (guardMisreads(text, length, (Flags & rapidjson::kParseNanAndInfFlag) != 0, guarded))
        return document.template Parse<Flags>(guarded.c_str(), length);
    return document.template Parse<Flags>(text, length);
}

/// Nesting depth up to which the recursive parser is used. Far beyond any
/// timeline, far below what the call stack holds.
constexpr int kRecursiveParseDepth = 256;

/// True when arrays and objects in the NUL-terminated `text` nest deeper than
/// `limit`. Strings (with their escapes) are skipped. A cheap pass ahead of the
/// parser; it never rejects anything.
inline bool nestsDeeperThan(const char* text, int limit) {
    int depth = 0;
    bool inString = false;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (inString) {
            if (c == '\\' && p[1] != '\0')
                ++p;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

/// Forwards a parser's events to `Handler` and stops the parse (the handler
/// refuses) as soon as arrays and objects nest deeper than `limit`, so that
/// the recursive parser never goes deeper than that on the call stack.
template <class Handler> class DepthLimit {
public:
    using Ch = typename Handler::Ch;
    using SizeType = rapidjson::SizeType;

    DepthLimit(Handler& handler, int limit) : m_handler(handler), m_limit(limit) {}

    bool Null() { return m_handler.Null(); }
    bool Bool(bool b) { return m_handler.Bool(b); }
    bool Int(int i) { return m_handler.Int(i); }
    bool Uint(unsigned i) { return m_handler.Uint(i); }
    bool Int64(int64_t i) { return m_handler.Int64(i); }
    bool Uint64(uint64_t i) { return m_handler.Uint64(i); }
    bool Double(double d) { return m_handler.Double(d); }
    bool RawNumber(const Ch* s, SizeType n, bool copy) { return m_handler.RawNumber(s, n, copy); }
    bool String(const Ch* s, SizeType n, bool copy) { return m_handler.String(s, n, copy); }
    bool Key(const Ch* s, SizeType n, bool copy) { return m_handler.Key(s, n, copy); }
    bool StartObject() { return ++m_depth <= m_limit && m_handler.StartObject(); }
    bool EndObject(SizeType members) {
        --m_depth;
        return m_handler.EndObject(members);
    }
    bool StartArray() { return ++m_depth <= m_limit && m_handler.StartArray(); }
    bool EndArray(SizeType elements) {
        --m_depth;
        return m_handler.EndArray(elements);
    }

private:
    Handler& m_handler;
    const int m_limit;
    int m_depth = 0;
};

namespace detail {
/// parse() once what RapidJSON misreads is guarded against (guardMisreads).
template <unsigned ExtraFlags, class Document> bool parseText(Document& document, const char* text);
/// The second attempt of parse(), for a text the recursive parser did not accept.
template <unsigned ExtraFlags, class Document>
bool parseAgain(Document& document, const char* text);
/// The first attempt: the recursive parser with `Flags` on `stream`, stopped
/// at kRecursiveParseDepth. True when it accepts the text, which the document
/// then holds. A document that holds an earlier parse's error keeps it (no
/// attempt is made) until parsed again through Parse, which the second attempt
/// does.
template <unsigned Flags, class Document, class Stream>
bool recursiveAttempt(Document& document, Stream& stream) {
    if (document.HasParseError())
        return false;
    using Encoding = typename Document::EncodingType;
    bool accepted = false;
    auto generator = [&](Document& handler) {
        rapidjson::GenericReader<Encoding, Encoding> reader;
        DepthLimit<Document> limited(handler, kRecursiveParseDepth);
        accepted = !reader.template Parse<Flags>(stream, limited).IsError();
        return accepted;
    };
    document.Populate(generator);
    return accepted;
}
} // namespace detail

/// Parses the NUL-terminated `text` into `document` as strict JSON: RapidJSON's
/// default flags (no comments, no trailing commas, no NaN or Infinity, nothing
/// but whitespace after the root value) plus `ExtraFlags` (for example
/// kParseFullPrecisionFlag). Returns true on success; on failure the document
/// holds RapidJSON's error code and offset.
///
/// RapidJSON's default parser recurses once per nesting level. A text nested
/// deeper than kRecursiveParseDepth is parsed with the iterative parser instead,
/// which accepts and rejects exactly the same texts but keeps the nesting off
/// the call stack. Its error code for a rejected text may name another cause.
///
/// The text is read once when it is well-formed and nests no deeper than
/// kRecursiveParseDepth: the recursive parser runs first, stopped at that depth.
/// Only a text it does not accept is scanned for its depth (nestsDeeperThan) and
/// parsed again by the parser that depth chooses, so that a rejected text gets
/// the error, and its offset, it always had.
///
/// A byte RapidJSON may take for more of a string (isMisreadControl) is refused
/// where it stands, as is, with kParseNanAndInfFlag, a NaN or Infinity literal
/// followed by a digit, a point or an exponent (literalTail): the text is not
/// JSON, and RapidJSON would read it on.
template <unsigned ExtraFlags = rapidjson::kParseNoFlags, class Document>
bool parse(Document& document, const char* text) {
    constexpr bool kLiterals = (ExtraFlags & rapidjson::kParseNanAndInfFlag) != 0;
    std::string guarded;
    if (guardMisreads(text, std::strlen(text), kLiterals, guarded))
        return detail::parseText<ExtraFlags>(document, guarded.c_str());
    return detail::parseText<ExtraFlags>(document, text);
}

/// As parse, reading a writable copy of `text` in place (RapidJSON's
/// kParseInsituFlag): `buffer` holds the same NUL-terminated text, and the
/// document's strings are left in it rather than copied, so `buffer` must live
/// as long as the document. Faster than parse by the strings it does not copy,
/// for the memory of the copy. A text the recursive parser does not accept in
/// place is parsed again from `text` as parse does, so that a rejected text
/// gets the same error, at the same offset, from both.
template <unsigned ExtraFlags = rapidjson::kParseNoFlags, class Document>
bool parseInPlace(Document& document, char* buffer, const char* text) {
    static_assert((ExtraFlags & rapidjson::kParseNanAndInfFlag) == 0,
                  "literal tails are guarded in a copy of parse's own");
    constexpr unsigned kFlags =
        rapidjson::kParseDefaultFlags | rapidjson::kParseInsituFlag | ExtraFlags;
    // A byte RapidJSON may misread is refused by parse, in a copy of its own.
    if (const std::size_t length = std::strlen(text); misreadControl(text, length) != length)
        return parse<ExtraFlags>(document, text);
    rapidjson::GenericInsituStringStream<typename Document::EncodingType> stream(buffer);
    return detail::recursiveAttempt<kFlags>(document, stream) ||
           detail::parseAgain<ExtraFlags>(document, text);
}

namespace detail {

template <unsigned ExtraFlags, class Document>
bool parseText(Document& document, const char* text) {
    constexpr unsigned kFlags = rapidjson::kParseDefaultFlags | ExtraFlags;
    rapidjson::GenericStringStream<typename Document::EncodingType> stream(text);
    return recursiveAttempt<kFlags>(document, stream) || parseAgain<ExtraFlags>(document, text);
}

template <unsigned ExtraFlags, class Document>
bool parseAgain(Document& document, const char* text) {
    constexpr unsigned kFlags = rapidjson::kParseDefaultFlags | ExtraFlags;
    if (nestsDeeperThan(text, kRecursiveParseDepth))
        document.template Parse<kFlags | rapidjson::kParseIterativeFlag>(text);
    else
        document.template Parse<kFlags>(text);
    return !document.HasParseError();
}

} // namespace detail

/// Where a text fails to parse and why.
struct SyntaxError {
    std::size_t offset = 0;  ///< bytes before the error
    std::size_t line = 1;    ///< from 1; lines end at line feeds
    std::size_t column = 1;  ///< from 1, in bytes
    const char* reason = ""; ///< RapidJSON's English message, a static text
};

/// The line and column of byte `offset` of `text` (clamped to its end).
inline SyntaxError placeOf(const char* text, std::size_t offset) {
    SyntaxError place;
    const char* p = text;
    for (; *p && static_cast<std::size_t>(p - text) < offset; ++p) {
        if (*p == '\n') {
            ++place.line;
            place.column = 1;
        } else {
            ++place.column;
        }
    }
    place.offset = static_cast<std::size_t>(p - text);
    return place;
}

/// The syntax error of a failed parse of `text` into `document`; nothing when
/// the parse succeeded.
template <class Document>
std::optional<SyntaxError> syntaxErrorOf(const Document& document, const char* text) {
    if (!document.HasParseError())
        return std::nullopt;
    SyntaxError error = placeOf(text, document.GetErrorOffset());
    error.reason = rapidjson::GetParseError_En(document.GetParseError());
    return error;
}

/// Parses `text` as parse() does and returns its syntax error, or nothing when
/// it is well-formed JSON.
template <unsigned ExtraFlags = rapidjson::kParseNoFlags>
std::optional<SyntaxError> findSyntaxError(const char* text) {
    rapidjson::Document document;
    parse<ExtraFlags>(document, text);
    return syntaxErrorOf(document, text);
}

} // namespace StrictJson
