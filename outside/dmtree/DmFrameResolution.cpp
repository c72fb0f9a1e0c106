#include "outside/dmtree/DmFrameResolution.h"

DmFrameResolution* DmFrameResolution::create() {
    return new DmFrameResolution();
}

void DmFrameResolution::setDepth(std::int32_t bits, std::int32_t channels, bool isFloat,
                                 bool flag) {
    m_depthSet = true;
    m_bits = bits;
    m_channels = channels;
    m_isFloat = isFloat;
    m_depthFlag = flag;
}

eDmErrorId DmFrameResolution::getDepth(std::int32_t& bits, std::int32_t& channels, bool& isFloat,
                                       bool& flag) const {
    if (!m_depthSet)
        return eDmErrorUnset;
    bits = m_bits;
    channels = m_channels;
    isFloat = m_isFloat;
    flag = m_depthFlag;
    return eDmSuccess;
}

CoSharedPtr<DmPropertySet> DmFrameResolution::clone() const {
    return new DmFrameResolution(*this);
}
