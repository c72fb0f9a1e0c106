#include "interchange/kept/KeptObjects.h"

#include "interchange/timing/RecordTime.h"

namespace ZEM_0_81::Interchange::KeptObjects {

std::string schemaOf(const Value& object) {
    if (!object.IsObject())
        return std::string();
    const auto found = object.FindMember(kSchema);
    if (found == object.MemberEnd() || !found->value.IsString())
        return std::string();
    return textOf(found->value);
}

bool timeOf(const Value* object, RationalTime& time) {
    if (!object || !object->IsObject())
        return false;
    const Value* value = memberOf(*object, kValue);
    const Value* rate = memberOf(*object, kRate);
    double v = 0.0, r = 0.0;
    if (!value || !rate || !finiteNumber(*value, v) || !finiteNumber(*rate, r) || !(r > 0.0))
        return false;
    time = RationalTime{v, RecordTime::snapRate(r)};
    return true;
}

} // namespace ZEM_0_81::Interchange::KeptObjects
