#include "rapidotio/MemberWriter.h"

#include "composition/JsonException.h"
#include "rapidotio/TimeValues.h"

#include <limits>

namespace ZEM_0_81::rapidotio {

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
