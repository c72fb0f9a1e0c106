#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

#include "outside/dmtree/CoSharedPtr.h"

#include <cstdint>
#include <vector>

class DmPropertySet;

namespace ZEM_0_81::Interchange {

/// The typed properties every edit-tree object may carry, as the member
/// "properties": [[ID, TYPE, VALUE], ...] of the object's "zem" description: ID
/// the property id, TYPE its eDmPropType number (1 bool, 3 int32, 9 float,
/// 11 double, 13 text) and VALUE a JSON value of that type, in ascending id order
/// (the edit tree's own JSON writes them the same way). Left out when empty.
namespace PropertyJson {

constexpr const char* kProperties = "properties";

/// Writes the properties of `object`, except those whose id is in `shownElsewhere`
/// (values that a named member of the description already carries), as member
/// `key` ("properties" unless a description holds two objects' properties).
void write(OtioWriter& writer, const DmPropertySet& object,
           const std::vector<std::int32_t>& shownElsewhere = {}, const char* key = kProperties);

/// Sets the properties listed in `members`' member `key` on `object`; an entry of
/// another shape is reported as a loss and skipped.
void read(const Members& members, DmPropertySet& object, const char* key = kProperties);

/// Properties read from a description before the object they go to exists (a
/// clip's source is made only once its media has been read): read as `read`
/// reads them, and set on the object later, so that the description is entered
/// once.
class Held {
public:
    Held();
    ~Held();
    Held(Held&&) noexcept;
    Held& operator=(Held&&) noexcept;

    void read(const Members& members, const char* key = kProperties);
    /// Sets every property held on `object`.
    void applyTo(DmPropertySet& object) const;

private:
    CoSharedPtr<DmPropertySet> m_set;
};

} // namespace PropertyJson

} // namespace ZEM_0_81::Interchange
