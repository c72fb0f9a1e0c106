#include "interchange/otiostd/metadata/PropertyJson.h"

#include "interchange/otiostd/kept/ForeignJson.h"

#include "outside/dmtree/DmPropertySet.h"

#include <algorithm>
#include <string>

namespace ZEM_0_81::Interchange::PropertyJson {

namespace {

bool listed(const std::vector<std::int32_t>& ids, std::int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

/// Writes one property's value (null for a type the edit tree does not define).
void writeValue(OtioWriter& writer, const DmPropertySet& object, std::int32_t id,
                eDmPropType type) {
    switch (type) {
    case eDmPropBool: {
        bool value = false;
        object.getPropertyValue(id, type, &value);
        writer.boolean(value);
        return;
    }
    case eDmPropInt32: {
        std::int32_t value = 0;
        object.getPropertyValue(id, type, &value);
        writer.integer(value);
        return;
    }
    case eDmPropFloat: {
        float value = 0.0f;
        object.getPropertyValue(id, type, &value);
        writer.number(static_cast<double>(value));
        return;
    }
    case eDmPropDouble: {
        double value = 0.0;
        object.getPropertyValue(id, type, &value);
        writer.number(value);
        return;
    }
    case eDmPropString: {
        DmString value;
        object.getPropertyValue(id, type, &value);
        writer.string(value);
        return;
    }
    }
    writer.null();
}

/// Sets one [ID, TYPE, VALUE] entry; false when it has another shape.
bool readEntry(const Value& entry, DmPropertySet& object) {
    if (!entry.IsArray() || entry.Size() != 3 || !entry[0].IsInt() || !entry[1].IsInt())
        return false;
    const std::int32_t id = entry[0].GetInt();
    if (listed(ForeignMembers::ids(), id))
        return false;
    const Value& value = entry[2];
    switch (entry[1].GetInt()) {
    case eDmPropBool: {
        if (!value.IsBool())
            return false;
        const bool read = value.GetBool();
        return object.setPropertyValue(id, eDmPropBool, &read) == eDmSuccess;
    }
    case eDmPropInt32: {
        if (!value.IsInt())
            return false;
        const std::int32_t read = value.GetInt();
        return object.setPropertyValue(id, eDmPropInt32, &read) == eDmSuccess;
    }
    case eDmPropFloat: {
        float read = 0.0f;
        if (!singleFloat(value, read))
            return false;
        return object.setPropertyValue(id, eDmPropFloat, &read) == eDmSuccess;
    }
    case eDmPropDouble: {
        double read = 0.0;
        if (!finiteNumber(value, read))
            return false;
        return object.setPropertyValue(id, eDmPropDouble, &read) == eDmSuccess;
    }
    case eDmPropString: {
        if (!value.IsString())
            return false;
        const DmString read(textOf(value));
        return object.setPropertyValue(id, eDmPropString, &read) == eDmSuccess;
    }
    default:
        return false;
    }
}

/// Holds properties and nothing else.
class PropertyHolder : public DmPropertySet {
public:
    PropertyHolder() = default;
    CoSharedPtr<DmPropertySet> clone() const override {
        return CoSharedPtr<DmPropertySet>(new PropertyHolder(*this));
    }

private:
    PropertyHolder(const PropertyHolder& other) = default;
};

/// Copies property `id` of `type` from `from` to `to`.
template <class T>
void copyValue(const DmPropertySet& from, DmPropertySet& to, std::int32_t id, eDmPropType type) {
    T value{};
    if (from.getPropertyValue(id, type, &value) == eDmSuccess)
        to.setPropertyValue(id, type, &value);
}

} // namespace

Held::Held() : m_set(new PropertyHolder()) {}
Held::~Held() = default;
Held::Held(Held&&) noexcept = default;
Held& Held::operator=(Held&&) noexcept = default;

void Held::read(const Members& members, const char* key) {
    PropertyJson::read(members, *m_set, key);
}

void Held::applyTo(DmPropertySet& object) const {
    std::int32_t id = 0;
    eDmPropType type = eDmPropBool;
    for (std::uint32_t i = 0; m_set->getPropertyInfo(i, id, type); ++i) {
        switch (type) {
        case eDmPropBool:
            copyValue<bool>(*m_set, object, id, type);
            break;
        case eDmPropInt32:
            copyValue<std::int32_t>(*m_set, object, id, type);
            break;
        case eDmPropFloat:
            copyValue<float>(*m_set, object, id, type);
            break;
        case eDmPropDouble:
            copyValue<double>(*m_set, object, id, type);
            break;
        case eDmPropString:
            copyValue<DmString>(*m_set, object, id, type);
            break;
        }
    }
}

void write(OtioWriter& writer, const DmPropertySet& object,
           const std::vector<std::int32_t>& shownElsewhere, const char* key) {
    bool started = false;
    std::int32_t id = 0;
    eDmPropType type = eDmPropBool;
    for (std::uint32_t i = 0; object.getPropertyInfo(i, id, type); ++i) {
        if (listed(shownElsewhere, id) || listed(ForeignMembers::ids(), id))
            continue;
        if (!started) {
            writer.key(key);
            writer.beginArray();
            started = true;
        }
        writer.beginArray();
        writer.integer(id);
        writer.integer(type);
        writeValue(writer, object, id, type);
        writer.endArray();
    }
    if (started)
        writer.endArray();
}

void read(const Members& members, DmPropertySet& object, const char* key) {
    const Value* entries = members.arrayMember(key);
    if (!entries)
        return;
    const ReadContext::Scope scope(members.context(), key);
    for (rapidjson::SizeType i = 0; i < entries->Size(); ++i) {
        if (readEntry((*entries)[i], object))
            continue;
        const ReadContext::Scope element(members.context(), i);
        members.context().lose(members.schema(),
                               "property ignored: expected [id, type, value] with a value of "
                               "the type (1 bool, 3 int32, 9 float, 11 double, 13 text)");
    }
}

} // namespace ZEM_0_81::Interchange::PropertyJson
