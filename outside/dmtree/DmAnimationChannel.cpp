#include "outside/dmtree/DmAnimationChannel.h"

DmAnimationChannel* DmAnimationChannel::create(DeprecatedInterpType interp,
                                               ExtrapolationType extrapolation,
                                               std::uint32_t version, double parameter) {
    return new DmAnimationChannel(interp, extrapolation, version, parameter);
}

DmAnimationChannel::DmAnimationChannel(const DmAnimationChannel& other)
    : DmPropertySet(other), m_interp(other.m_interp), m_extrapolation(other.m_extrapolation),
      m_version(other.m_version), m_parameter(other.m_parameter),
      m_firstKey(dmCloneOf(other.m_firstKey.get())) {
    m_moreKeys.reserve(other.m_moreKeys.size());
    for (const auto& key : other.m_moreKeys)
        m_moreKeys.push_back(dmCloneOf(key.get()));
}

void DmAnimationChannel::addKeyFrame(DmKeyFrame* key) {
    if (!key)
        return;
    if (!m_firstKey)
        m_firstKey = key;
    else
        m_moreKeys.emplace_back(key);
}

CoSharedPtr<DmKeyFrame> DmAnimationChannel::getKeyFrame(std::uint32_t index) const {
    if (index == 0)
        return m_firstKey;
    return index - 1 < m_moreKeys.size() ? m_moreKeys[index - 1] : CoSharedPtr<DmKeyFrame>();
}

CoSharedPtr<DmPropertySet> DmAnimationChannel::clone() const {
    return new DmAnimationChannel(*this);
}
