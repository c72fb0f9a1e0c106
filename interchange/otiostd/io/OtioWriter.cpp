#include "interchange/otiostd/io/OtioWriter.h"

#include "composition/JsonException.h"
#include "interchange/places/LossPlaces.h"

#include <cmath>
#include <cstring>

namespace ZEM_0_81::Interchange {

namespace {

rapidjson::SizeType sizeOf(std::size_t length) {
    return static_cast<rapidjson::SizeType>(length);
}

} // namespace

OtioWriter::OtioWriter(OtioVersion version, bool turnsKept, LossReport* losses)
    : m_writer(m_output), m_version(version), m_turnsKept(turnsKept), m_losses(losses) {
    m_path.reserve(32);
}

void OtioWriter::lose(const std::string& schema, const std::string& what,
                      const std::string& below) const {
    if (!m_losses)
        return;
    const std::string place = pointer() + below;
    m_losses->add(String(place.c_str(), place.size()), String(schema.c_str(), schema.size()),
                  String(what.c_str(), what.size()));
}

void OtioWriter::beginObject() {
    m_writer.StartObject();
    m_path.push_back(Frame{});
}

void OtioWriter::endObject() {
    m_writer.EndObject();
    m_path.pop_back();
    valueDone();
}

void OtioWriter::beginArray() {
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
    m_writer.Text(name, sizeOf(std::strlen(name)));
    m_path.back().key = name;
}

void OtioWriter::key(const char* name, std::size_t length) {
    m_writer.Text(name, sizeOf(length));
    Frame& frame = m_path.back();
    frame.key = nullptr;
    frame.ownedKey.assign(name, length);
}

void OtioWriter::string(const char* text) {
    m_writer.Text(text, sizeOf(std::strlen(text)));
    valueDone();
}

void OtioWriter::string(const char* text, std::size_t length) {
    m_writer.Text(text, sizeOf(length));
    valueDone();
}

void OtioWriter::number(double value) {
    if (!std::isfinite(value))
        notFinite(value);
    m_writer.Double(value);
    valueDone();
}

void OtioWriter::notFinite(double value) const {
    throw Json::Exception("the number at " + pointer() + " is " +
                              (std::isnan(value) ? "not a number" : "infinite") +
                              ", which JSON cannot hold",
                          Status(Status::JsonGenerationFailed));
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

void OtioWriter::jsonNumber(const rapidotio::Value& value, NonFinite nonFinite) {
    if (value.IsInt64()) {
        integer(value.GetInt64());
        return;
    }
    if (value.IsUint64()) {
        unsignedInteger(value.GetUint64());
        return;
    }
    const double number = value.GetDouble();
    if (std::isfinite(number) || nonFinite == NonFinite::Fail) {
        this->number(number);
        return;
    }
    const char* literal = std::isnan(number) ? "NaN" : number > 0 ? "Infinity" : "-Infinity";
    m_writer.RawValue(literal, std::strlen(literal), rapidjson::kNumberType);
    valueDone();
}

void OtioWriter::json(const rapidotio::Value& value, NonFinite nonFinite) {
    // Each open array or object of `value` with the place of its next element or
    // member.
    struct Open {
        const rapidotio::Value* container;
        rapidjson::SizeType next;
    };
    std::vector<Open> open;
    const rapidotio::Value* current = &value;
    for (;;) {
        if (current) {
            switch (current->GetType()) {
            case rapidjson::kNullType:
                null();
                break;
            case rapidjson::kFalseType:
            case rapidjson::kTrueType:
                boolean(current->GetBool());
                break;
            case rapidjson::kStringType:
                string(current->GetString(), current->GetStringLength());
                break;
            case rapidjson::kNumberType:
                jsonNumber(*current, nonFinite);
                break;
            case rapidjson::kObjectType:
                beginObject();
                open.push_back(Open{current, 0});
                break;
            case rapidjson::kArrayType:
                beginArray();
                open.push_back(Open{current, 0});
                break;
            }
            current = nullptr;
        }
        if (open.empty())
            return;
        Open& top = open.back();
        if (top.container->IsArray()) {
            if (top.next < top.container->Size()) {
                current = &(*top.container)[top.next++];
                continue;
            }
            endArray();
        } else {
            if (top.next < top.container->MemberCount()) {
                const auto member = top.container->MemberBegin() + top.next++;
                key(member->name.GetString(), member->name.GetStringLength());
                current = &member->value;
                continue;
            }
            endObject();
        }
        open.pop_back();
    }
}

std::string OtioWriter::pointer() const {
    std::string text;
    for (const Frame& frame : m_path) {
        if (frame.isArray) {
            appendPointerToken(text, std::to_string(frame.index));
        } else if (frame.key) {
            appendPointerToken(text, frame.key, std::strlen(frame.key));
        } else {
            appendPointerToken(text, frame.ownedKey);
        }
    }
    return text;
}

} // namespace ZEM_0_81::Interchange
