#include "interchange/otiostd/schemas/SchemaMembers.h"

#include "interchange/otiostd/kept/ForeignJson.h"

namespace ZEM_0_81::Interchange::SchemaMembers {

using ForeignMembers::Leftovers;

bool parseSchema(std::string_view text, std::string_view& type, int& version) {
    const std::string_view::size_type dot = text.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == text.size())
        return false;
    int parsed = 0;
    for (const char c : text.substr(dot + 1)) {
        if (c < '0' || c > '9' || parsed > 100000)
            return false;
        parsed = parsed * 10 + (c - '0');
    }
    type = text.substr(0, dot);
    version = parsed;
    return true;
}

bool parseSchema(const std::string& text, std::string& type, int& version) {
    std::string_view typeView;
    if (!parseSchema(std::string_view(text), typeView, version))
        return false;
    type = std::string(typeView);
    return true;
}

namespace {

std::string typeOf(const Value& object) {
    std::string type;
    int version = 0;
    return parseSchema(schemaOf(object), type, version) ? type : std::string();
}

} // namespace

bool isOtioEffect(const Value& object) {
    const std::string type = typeOf(object);
    return type == "Effect" || type == "TimeEffect" || type == "LinearTimeWarp" ||
           type == "FreezeFrame";
}

bool isOtioMarker(const Value& object) {
    return typeOf(object) == "Marker";
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

void reportUnread(const Members& object, Unread what, ForeignMembers::Leftovers* leftovers) {
    ReadContext& context = object.context();
    if (what == Unread::Kept)
        return;
    if (what == Unread::Metadata) {
        if (const Value* metadata = object.objectMember(kMetadata)) {
            const ReadContext::Scope scope(context, kMetadata);
            for (const auto& member : metadata->GetObject()) {
                if (textOf(member.name) == kZem)
                    continue;
                const ReadContext::Scope entry(context, member.name);
                context.lose(object.schema(),
                             "metadata not kept: the edit tree has no place for it");
            }
        }
        return;
    }
    if (const Value* markers =
            what == Unread::Composition ? object.arrayMember(kMarkers) : nullptr) {
        const ReadContext::Scope scope(context, kMarkers);
        for (rapidjson::SizeType i = 0; i < markers->Size(); ++i) {
            const ReadContext::Scope element(context, i);
            const Value& marker = (*markers)[i];
            const std::string why = "the edit tree keeps notes on clips and gaps only";
            context.lose(schemaOf(marker),
                         leftovers && isOtioMarker(marker) && leftovers->marker(marker)
                             ? "marker not shown: " + why + Leftovers::kKeptNote
                             : "marker dropped: " + why);
        }
    }
    bool enabled = true;
    if (object.getBool(kEnabled, enabled) && !enabled) {
        const ReadContext::Scope scope(context, kEnabled);
        if (leftovers)
            leftovers->disabled();
        context.lose(object.schema(),
                     std::string("read as enabled: the edit tree cannot disable it") +
                         (leftovers ? Leftovers::kDisabledNote : ""));
    }
    if (what == Unread::Item)
        return;
    if (const Value* effects = object.arrayMember(kEffects)) {
        const ReadContext::Scope scope(context, kEffects);
        for (rapidjson::SizeType i = 0; i < effects->Size(); ++i) {
            const ReadContext::Scope element(context, i);
            const Value& effect = (*effects)[i];
            const std::string why = "the edit tree has effects on segments only";
            context.lose(schemaOf(effect),
                         leftovers && isOtioEffect(effect) && leftovers->effect(effect)
                             ? "effect not applied: " + why + Leftovers::kKeptNote
                             : "effect dropped: " + why);
        }
    }
}

void start(OtioWriter& writer, const char* schema) {
    writer.beginObject();
    writer.member(kSchema, schema);
}

void startZem(OtioWriter& writer, const char* zemSchema) {
    writer.key(kMetadata);
    writer.beginObject();
    writer.key(kZem);
    writer.beginObject();
    writer.member(kZemSchema, zemSchema);
}

void endZem(OtioWriter& writer, const DmPropertySet* kept) {
    writer.endObject();
    if (kept)
        ForeignMembers::writeMetadata(writer, *kept);
    writer.endObject();
}

void emptyMetadata(OtioWriter& writer, const DmPropertySet* kept) {
    writer.key(kMetadata);
    writer.beginObject();
    if (kept)
        ForeignMembers::writeMetadata(writer, *kept);
    writer.endObject();
}

void plainItemMembers(OtioWriter& writer, const DmPropertySet* kept) {
    writer.key(kMarkers);
    writer.beginArray();
    if (kept)
        ForeignMembers::writeMarkers(writer, *kept);
    writer.endArray();
    writer.memberBool(kEnabled, !kept || ForeignMembers::Leftovers::enabled(*kept));
}

void plainEffects(OtioWriter& writer, const DmPropertySet* kept) {
    writer.key(kEffects);
    writer.beginArray();
    if (kept)
        ForeignMembers::writeEffects(writer, *kept);
    writer.endArray();
}

} // namespace ZEM_0_81::Interchange::SchemaMembers
