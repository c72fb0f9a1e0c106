#include "outside/dmtree/DmPropertySet.h"

DmPropertySet::DmPropertySet(const DmPropertySet& other)
    : m_properties(other.m_properties && !other.m_properties->empty()
                       ? std::make_unique<std::map<std::int32_t, Value>>(*other.m_properties)
                       : nullptr) {}

DmPropertySet::~DmPropertySet() = default;

void DmPropertySet::incref() const {
    m_count.fetch_add(1, std::memory_order_relaxed);
}

bool DmPropertySet::decref() const {
    // The last holder lets go without an atomic operation: with no other holder
    // left, no other thread can take or drop a reference at the same time. Trees
    // are released this way object by object.
    if (m_count.load(std::memory_order_acquire) == 1) {
        m_count.store(0, std::memory_order_relaxed);
        return true;
    }
    return m_count.fetch_sub(1, std::memory_order_acq_rel) <= 1;
}

std::int32_t DmPropertySet::refcount() const {
    return m_count.load(std::memory_order_relaxed);
}

eDmErrorId DmPropertySet::setPropertyValue(std::int32_t id, eDmPropType type, const void* value) {
    if (!value)
        return eDmErrorBadArgument;
    Value stored;
    stored.type = type;
    switch (type) {
    case eDmPropBool:
        stored.b = *static_cast<const bool*>(value);
        break;
    case eDmPropInt32:
        stored.i = *static_cast<const std::int32_t*>(value);
        break;
    case eDmPropFloat:
        stored.f = *static_cast<const float*>(value);
        break;
    case eDmPropDouble:
        stored.d = *static_cast<const double*>(value);
        break;
    case eDmPropString:
        stored.s = *static_cast<const DmString*>(value);
        break;
    default:
        return eDmErrorBadArgument;
    }
    if (!m_properties)
        m_properties = std::make_unique<std::map<std::int32_t, Value>>();
    (*m_properties)[id] = std::move(stored);
    return eDmSuccess;
}

eDmErrorId DmPropertySet::getPropertyValue(std::int32_t id, eDmPropType type, void* out) const {
    if (!m_properties)
        return eDmErrorUnset;
    const auto found = m_properties->find(id);
    if (found == m_properties->end())
        return eDmErrorUnset;
    const Value& stored = found->second;
    if (stored.type != type)
        return eDmErrorWrongType;
    if (!out)
        return eDmErrorBadArgument;
    switch (type) {
    case eDmPropBool:
        *static_cast<bool*>(out) = stored.b;
        break;
    case eDmPropInt32:
        *static_cast<std::int32_t*>(out) = stored.i;
        break;
    case eDmPropFloat:
        *static_cast<float*>(out) = stored.f;
        break;
    case eDmPropDouble:
        *static_cast<double*>(out) = stored.d;
        break;
    case eDmPropString:
        *static_cast<DmString*>(out) = stored.s;
        break;
    default:
        // Unreachable: only the types above can be stored.
        return eDmErrorBadArgument;
    }
    return eDmSuccess;
}

bool DmPropertySet::removeProperty(std::int32_t id) {
    return m_properties && m_properties->erase(id) != 0;
}

std::uint32_t DmPropertySet::getNbProperties() const {
    return m_properties ? static_cast<std::uint32_t>(m_properties->size()) : 0;
}

bool DmPropertySet::getPropertyInfo(std::uint32_t index, std::int32_t& id,
                                    eDmPropType& type) const {
    if (!m_properties || index >= m_properties->size())
        return false;
    auto it = m_properties->begin();
    std::advance(it, index);
    id = it->first;
    type = it->second.type;
    return true;
}
