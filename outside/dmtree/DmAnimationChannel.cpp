#include "outside/dmtree/DmAnimationChannel.h"

DmAnimationChannel* DmAnimationChannel::create(DeprecatedInterpType interp,
                                               ExtrapolationType extrapolation,
                                               std::uint32_t version, double parameter) {
    return new DmAnimationChannel(interp, extrapolation, version, parameter);
}

DmAnimationChannel::DmAnimationChannel(const DmAnimationChannel& other)
    : DmPropertySet(other), m_interp(other.m_interp), m_extrapolation(other.m_extrapolation),
      m_version(other.m_version), m_parameter(other.m_parameter) {
    m_keys.reserve(other.m_keys.size());
    for (const auto& key : other.m_keys)
        m_keys.push_back(dmCloneOf(key.get()));
}

void DmAnimationChannel::addKeyFrame(DmKeyFrame* key) {
    if (key)
        m_keys.emplace_back(key);
}

CoSharedPtr<DmKeyFrame> DmAnimationChannel::getKeyFrame(std::uint32_t index) const {
    return index < m_keys.size() ? m_keys[index] : CoSharedPtr<DmKeyFrame>();
}

CoSharedPtr<DmPropertySet> DmAnimationChannel::clone() const {
    return new DmAnimationChannel(*this);
}
