#include "outside/dmtree/DmSourceInfo.h"

DmSourceInfo* DmSourceInfo::create() {
    return new DmSourceInfo();
}

DmString DmSourceInfo::getSequence(std::uint32_t index) const {
    return index < m_sequences.size() ? m_sequences[index] : DmString();
}

CoSharedPtr<DmPropertySet> DmSourceInfo::clone() const {
    return new DmSourceInfo(*this);
}
