#include "interchange/SchemaObject.h"

namespace ZEM_0_81::Interchange::SchemaObject {

bool parseSchema(const std::string& text, std::string& type, int& version) {
    const std::string::size_type dot = text.rfind('.');
    if (dot == std::string::npos || dot + 1 == text.size())
        return false;
    int parsed = 0;
    for (std::string::size_type i = dot + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || parsed > 100000)
            return false;
        parsed = parsed * 10 + (c - '0');
    }
    type = text.substr(0, dot);
    version = parsed;
    return true;
}

std::string schemaOf(const Value& object) {
    if (!object.IsObject())
        return std::string();
    const auto found = object.FindMember(kSchema);
    if (found == object.MemberEnd() || !found->value.IsString())
        return std::string();
    return textOf(found->value);
}

const Value* zemOf(const Value& object) {
    if (!object.IsObject())
        return nullptr;
    const auto metadata = object.FindMember(kMetadata);
    if (metadata == object.MemberEnd() || !metadata->value.IsObject())
        return nullptr;
    const auto zem = metadata->value.FindMember(kZem);
    if (zem == metadata->value.MemberEnd() || !zem->value.IsObject())
        return nullptr;
    return &zem->value;
}

std::string zemSchemaOf(const Value& object) {
    const Value* zem = zemOf(object);
    if (!zem)
        return std::string();
    const auto found = zem->FindMember(kZemSchema);
    if (found == zem->MemberEnd() || !found->value.IsString())
        return std::string();
    return textOf(found->value);
}

void start(OtioWriter& writer, const char* schema) {
    writer.startObject();
    writer.member(kSchema, schema);
}

void startZem(OtioWriter& writer, const char* zemSchema) {
    writer.key(kMetadata);
    writer.startObject();
    writer.key(kZem);
    writer.startObject();
    writer.member(kZemSchema, zemSchema);
}

void endZem(OtioWriter& writer) {
    writer.endObject();
    writer.endObject();
}

void emptyMetadata(OtioWriter& writer) {
    writer.key(kMetadata);
    writer.startObject();
    writer.endObject();
}

void plainItemMembers(OtioWriter& writer) {
    writer.key(kMarkers);
    writer.startArray();
    writer.endArray();
    writer.memberBool(kEnabled, true);
}

} // namespace ZEM_0_81::Interchange::SchemaObject
