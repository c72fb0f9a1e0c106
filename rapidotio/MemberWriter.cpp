#include "rapidotio/MemberWriter.h"

#include "composition/JsonException.h"
#include "rapidotio/TimeValues.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>

namespace ZEM_0_81::rapidotio {

namespace {

/// True for a character JSON escapes: a control character, a quotation mark, a
/// backslash.
bool escaped(unsigned char c) {
    return c < 0x20 || c == '"' || c == '\\';
}

} // namespace

bool JsonTextWriter::Text(const char* text, rapidjson::SizeType length) {
    Prefix(rapidjson::kStringType);
    // Copied while it is checked for characters JSON escapes (control
    // characters, quotation marks, backslashes); a text that has one is taken
    // back and written by RapidJSON's own escaping.
    char* const out = os_->Push(std::size_t(length) + 2);
    out[0] = '"';
    unsigned char special = 0;
    for (rapidjson::SizeType i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out[i + 1] = static_cast<char>(c);
        special |= static_cast<unsigned char>(escaped(c));
    }
    out[length + 1] = '"';
    if (special) {
        os_->Pop(std::size_t(length) + 2);
        return EndValue(WriteString(text, length));
    }
    return EndValue(true);
}

bool JsonTextWriter::PlainText(const char* text, rapidjson::SizeType length) {
    assert(std::none_of(text, text + length,
                        [](char c) { return escaped(static_cast<unsigned char>(c)); }));
    Prefix(rapidjson::kStringType);
    char* const out = os_->Push(std::size_t(length) + 2);
    out[0] = '"';
    std::memcpy(out + 1, text, length);
    out[length + 1] = '"';
    return EndValue(true);
}

void MemberWriter::beginObject() {
    if (m_live)
        m_writer.StartObject();
}

void MemberWriter::beginObject(Key key) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.StartObject();
}

void MemberWriter::endObject() {
    if (m_live)
        m_writer.EndObject();
}

void MemberWriter::beginArray(Key key) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.StartArray();
}

void MemberWriter::beginArray() {
    if (m_live)
        m_writer.StartArray();
}

void MemberWriter::endArray() {
    if (m_live)
        m_writer.EndArray();
}

void MemberWriter::member(Key key, const std::string& text) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    string(text);
}

void MemberWriter::member(Key key, Key text) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.Text(text.text, text.length);
}

void MemberWriter::member(Key key, double number) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    value(number);
}

void MemberWriter::member(Key key, bool flag) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.Bool(flag);
}

void MemberWriter::member(Key key, std::int32_t number) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.Int(number);
}

void MemberWriter::member(Key key, std::uint32_t number) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.Uint(number);
}

void MemberWriter::member(const std::string& key, const std::string& text) {
    if (!m_live)
        return;
    m_writer.Text(key.data(), size(key));
    string(text);
}

void MemberWriter::pair(Key key, double first, double second) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.StartArray();
    value(first);
    value(second);
    m_writer.EndArray();
}

void MemberWriter::pair(Key key, std::int32_t first, std::int32_t second) {
    if (!m_live)
        return;
    m_writer.PlainText(key.text, key.length);
    m_writer.StartArray();
    m_writer.Int(first);
    m_writer.Int(second);
    m_writer.EndArray();
}

void MemberWriter::value(double number) {
    if (!m_writer.Double(number))
        notFinite();
}

void MemberWriter::member(const char* key, const RationalTime& time) {
    if (!m_live)
        return;
    beginObject(key);
    writeRationalTime(time, *this);
    endObject();
}

void MemberWriter::member(const char* key, const TimeRange& range) {
    if (!m_live)
        return;
    beginObject(key);
    writeTimeRange(range, *this);
    endObject();
}

void MemberWriter::children(const char* key, WhenEmpty whenEmpty) {
    const bool written = whenEmpty == WhenEmpty::WriteEmptyArray || m_childrenWritten;
    switch (m_part) {
    case Part::Whole:
        if (written) {
            m_writer.Text(key);
            m_writer.StartArray();
            m_writer.EndArray();
        }
        break;
    case Part::Head:
        if (m_live && written) {
            m_writer.Text(key);
            m_writer.StartArray();
        }
        m_live = false;
        break;
    case Part::Tail:
        if (written)
            m_writer.EndArray();
        m_live = true;
        break;
    }
}

void MemberWriter::children() {
    if (m_part != Part::Whole)
        m_live = m_part == Part::Tail;
}

rapidjson::SizeType MemberWriter::size(const std::string& text) {
    if (text.size() > std::numeric_limits<rapidjson::SizeType>::max())
        throw Json::Exception("a text is too long to be written as OTIO JSON",
                              Status(Status::JsonConversionFailed));
    return static_cast<rapidjson::SizeType>(text.size());
}

void MemberWriter::notFinite() {
    throw Json::Exception("OTIO JSON cannot hold a number that is not finite",
                          Status(Status::JsonConversionFailed));
}

} // namespace ZEM_0_81::rapidotio
