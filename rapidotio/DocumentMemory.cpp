#include "rapidotio/DocumentMemory.h"

namespace ZEM_0_81::rapidotio {

void DocumentMemory::release(const Value& object) {
    if (!object.IsObject() || object.MemberCount() == 0)
        return;
    // The member list was the last thing parsed of the object.
    m_pool.releaseBefore(&*(object.MemberEnd() - 1) + 1);
}

} // namespace ZEM_0_81::rapidotio
