#include "interchange/otiostd/io/ReadContext.h"

#include "composition/JsonException.h"
#include "interchange/LossReport.h"
#include "interchange/places/LossPlaces.h"
#include "rapidotio/DocumentMemory.h"

#include <charconv>
#include <cstring>
#include <iterator>

namespace ZEM_0_81::Interchange {

ReadContext::ReadContext(LossReport& losses, rapidotio::DocumentMemory* memory, TrackItems* items)
    : m_losses(losses), m_memory(memory), m_items(items) {
    m_path.reserve(32);
}

void ReadContext::release(const Value& object) {
    if (m_memory)
        m_memory->release(object);
}

ReadContext::Scope::Scope(ReadContext& context, const Value& key) : m_context(context) {
    context.m_path.push_back(Token{key.GetString(), key.GetStringLength(), 0});
}

ReadContext::Scope::Scope(ReadContext& context, std::size_t index) : m_context(context) {
    context.m_path.push_back(Token{nullptr, 0, index});
}

ReadContext::Scope::~Scope() {
    m_context.m_path.pop_back();
}

std::string ReadContext::pointer() const {
    std::string text;
    for (const Token& token : m_path) {
        if (token.key) {
            appendPointerToken(text, token.key, token.length);
        } else {
            char digits[24];
            const auto written = std::to_chars(std::begin(digits), std::end(digits), token.index);
            appendPointerToken(text, digits, static_cast<std::size_t>(written.ptr - digits));
        }
    }
    return text;
}

void ReadContext::lose(const std::string& schema, const std::string& what) {
    loseBelow(std::string(), schema, what);
}

void ReadContext::loseBelow(const std::string& below, const std::string& schema,
                            const std::string& what) {
    const std::string place = pointer() + below;
    const String named = schema.empty() ? String("none") : String(schema.c_str(), schema.size());
    m_losses.add(String(place.c_str(), place.size()), named, String(what.c_str(), what.size()));
}

void ReadContext::fail(const std::string& what) const {
    const std::string place = pointer();
    throw Json::Exception(place.empty() ? what : place + ": " + what,
                          Status(Status::OtioImportFailed));
}

// --- members -----------------------------------------------------------------

Members::Members(ReadContext& context, const Value* object, std::string schema)
    : m_context(context), m_object(object && object->IsObject() ? object : nullptr),
      m_ownSchema(std::move(schema)), m_schema(&m_ownSchema) {}

Members::Members(const Members& owner, const Value* object)
    : m_context(owner.m_context), m_object(object && object->IsObject() ? object : nullptr),
      m_schema(owner.m_schema) {}

const Value* Members::find(Key key) const {
    if (!m_object)
        return nullptr;
    // The first member of that name, as FindMember gives it.
    for (auto member = m_object->MemberBegin(); member != m_object->MemberEnd(); ++member)
        if (named(member->name, key))
            return &member->value;
    return nullptr;
}

void Members::wrongType(Key key, const char* expected) const {
    const ReadContext::Scope scope(m_context, key.text);
    m_context.lose(*m_schema, std::string("ignored: expected ") + expected);
}

bool Members::getDouble(Key key, double& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (finiteNumber(*value, out))
        return true;
    wrongType(key, "a finite number");
    return false;
}

bool Members::getFloat(Key key, float& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (Interchange::singleFloat(*value, out))
        return true;
    wrongType(key, "a number in the single-precision range");
    return false;
}

bool Members::getInt(Key key, std::int32_t& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (value->IsInt()) {
        out = value->GetInt();
        return true;
    }
    wrongType(key, "a signed 32-bit integer");
    return false;
}

bool Members::getUint(Key key, std::uint32_t& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (value->IsUint()) {
        out = value->GetUint();
        return true;
    }
    wrongType(key, "an unsigned 32-bit integer");
    return false;
}

bool Members::getBool(Key key, bool& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (value->IsBool()) {
        out = value->GetBool();
        return true;
    }
    wrongType(key, "true or false");
    return false;
}

bool Members::getString(Key key, std::string& out) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return false;
    if (value->IsString()) {
        out = textOf(*value);
        return true;
    }
    wrongType(key, "a string");
    return false;
}

bool Members::getString(Key key, DmString& out) const {
    std::string read;
    if (!getString(key, read))
        return false;
    out = DmString(std::move(read));
    return true;
}

const Value* Members::objectMember(Key key) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return nullptr;
    if (value->IsObject())
        return value;
    wrongType(key, "an object");
    return nullptr;
}

const Value* Members::arrayMember(Key key) const {
    const Value* value = find(key);
    if (!value || value->IsNull())
        return nullptr;
    if (value->IsArray())
        return value;
    wrongType(key, "an array");
    return nullptr;
}

} // namespace ZEM_0_81::Interchange
