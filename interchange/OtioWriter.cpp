#include "interchange/OtioWriter.h"

#include "composition/JsonException.h"
#include "interchange/JsonPointer.h"

#include <cmath>

namespace ZEM_0_81::Interchange {

OtioWriter::OtioWriter() : m_writer(m_buffer) {
    m_path.reserve(32);
}

void OtioWriter::startObject() {
    m_writer.StartObject();
    m_path.push_back(Frame{});
}

void OtioWriter::endObject() {
    m_writer.EndObject();
    m_path.pop_back();
    valueDone();
}

void OtioWriter::startArray() {
    m_writer.StartArray();
    Frame frame;
    frame.isArray = true;
    m_path.push_back(frame);
}

void OtioWriter::endArray() {
    m_writer.EndArray();
    m_path.pop_back();
    valueDone();
}

void OtioWriter::key(const char* name) {
    m_writer.Key(name);
    m_path.back().key = name;
}

void OtioWriter::key(const std::string& name) {
    m_writer.Key(name.c_str(), static_cast<rapidjson::SizeType>(name.size()), true);
    Frame& frame = m_path.back();
    frame.key = nullptr;
    frame.ownedKey = name;
}

void OtioWriter::string(const char* text) {
    m_writer.String(text);
    valueDone();
}

void OtioWriter::string(const std::string& text) {
    m_writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()), true);
    valueDone();
}

void OtioWriter::string(const DmString& text) {
    string(text.str());
}

void OtioWriter::number(double value) {
    if (!std::isfinite(value))
        throw Json::Exception("the number at " + pointer() + " is " +
                                  (std::isnan(value) ? "not a number" : "infinite") +
                                  ", which JSON cannot hold",
                              Status(Status::JsonGenerationFailed));
    m_writer.Double(value);
    valueDone();
}

void OtioWriter::integer(std::int64_t value) {
    m_writer.Int64(value);
    valueDone();
}

void OtioWriter::unsignedInteger(std::uint64_t value) {
    m_writer.Uint64(value);
    valueDone();
}

void OtioWriter::boolean(bool value) {
    m_writer.Bool(value);
    valueDone();
}

void OtioWriter::null() {
    m_writer.Null();
    valueDone();
}

void OtioWriter::json(const rapidjson::Value& value) {
    switch (value.GetType()) {
    case rapidjson::kNullType:
        null();
        return;
    case rapidjson::kFalseType:
    case rapidjson::kTrueType:
        boolean(value.GetBool());
        return;
    case rapidjson::kStringType:
        string(std::string(value.GetString(), value.GetStringLength()));
        return;
    case rapidjson::kNumberType:
        if (value.IsInt64()) {
            integer(value.GetInt64());
        } else if (value.IsUint64()) {
            unsignedInteger(value.GetUint64());
        } else if (std::isfinite(value.GetDouble())) {
            number(value.GetDouble());
        } else {
            const double number = value.GetDouble();
            const char* literal = std::isnan(number) ? "NaN"
                                  : number > 0       ? "Infinity"
                                                     : "-Infinity";
            m_writer.RawValue(literal, std::char_traits<char>::length(literal),
                              rapidjson::kNumberType);
            valueDone();
        }
        return;
    case rapidjson::kObjectType:
        startObject();
        for (const auto& member : value.GetObject()) {
            key(std::string(member.name.GetString(), member.name.GetStringLength()));
            json(member.value);
        }
        endObject();
        return;
    case rapidjson::kArrayType:
        startArray();
        for (const rapidjson::Value& element : value.GetArray())
            json(element);
        endArray();
        return;
    }
}

void OtioWriter::valueDone() {
    if (!m_path.empty() && m_path.back().isArray)
        ++m_path.back().index;
}

std::string OtioWriter::pointer() const {
    std::string text;
    for (const Frame& frame : m_path) {
        if (frame.isArray)
            appendPointerToken(text, std::to_string(frame.index));
        else
            appendPointerToken(text, frame.key ? std::string(frame.key) : frame.ownedKey);
    }
    return text;
}

} // namespace ZEM_0_81::Interchange
