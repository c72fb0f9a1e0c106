#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmApi.h"
#include "outside/dmtree/DmString.h"
#include "outside/dmtree/DmTypes.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>

/// Base of every edit-tree object: a reference count for CoSharedPtr, a deep copy
/// (clone) and a set of typed properties addressed by integer id.
///
/// The count starts at 0; copying an object never copies its count. A property
/// keeps the type it was last set with; reading it with another type fails.
class KRDMTREE_API DmPropertySet {
public:
    virtual ~DmPropertySet();

    virtual void incref() const;
    /// Drops one reference; true when it was the last one, and the caller then deletes.
    virtual bool decref() const;
    /// Deep copy of this object and everything it holds, as its own class; the copy
    /// shares nothing with this object and is held by the result.
    virtual CoSharedPtr<DmPropertySet> clone() const = 0;

    /// Stores the value `value` points to (see eDmPropType) under `id`, replacing any
    /// value held there. eDmErrorBadArgument for a null value or an unknown type.
    eDmErrorId setPropertyValue(std::int32_t id, eDmPropType type, const void* value);
    /// Copies the value of `id` into `out`. eDmErrorUnset when never set,
    /// eDmErrorWrongType when set with another type, eDmErrorBadArgument for a null
    /// `out`; `out` is untouched on every failure.
    eDmErrorId getPropertyValue(std::int32_t id, eDmPropType type, void* out) const;
    /// Removes the property `id`; false when there was none.
    bool removeProperty(std::int32_t id);

    /// Number of properties held.
    std::uint32_t getNbProperties() const;
    /// Id and type of the property at `index`, in ascending id order; false past the end.
    bool getPropertyInfo(std::uint32_t index, std::int32_t& id, eDmPropType& type) const;

    /// Number of references currently held (for diagnostics and tests).
    std::int32_t refcount() const;

protected:
    DmPropertySet() = default;
    /// Copies the properties, not the count.
    DmPropertySet(const DmPropertySet& other);
    DmPropertySet& operator=(const DmPropertySet&) = delete;

private:
    struct Value {
        eDmPropType type = eDmPropBool;
        bool b = false;
        std::int32_t i = 0;
        float f = 0.0f;
        double d = 0.0;
        DmString s;
    };

    // Made at the first property set: most objects never hold one, and an empty
    // table inside every object would make each of them 40 bytes larger.
    std::unique_ptr<std::map<std::int32_t, Value>> m_properties;
    mutable std::atomic<std::int32_t> m_count{0};
};
