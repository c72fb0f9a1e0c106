#include "outside/dmtree/DmCompSettings.h"

#include "outside/dmtree/DmIdTable.h"

DmCompSettings* DmCompSettings::create() {
    return new DmCompSettings();
}

DmCompSettings::DmCompSettings(const DmCompSettings& other)
    : DmEffectSettings(other), m_attributs(DmIdTable::deepCopy(other.m_attributs)),
      m_channels(DmIdTable::deepCopy(other.m_channels)) {}

void DmCompSettings::setAttribut(AttributId id, DmSimpleChannel* channel) {
    DmIdTable::put(m_attributs, id, channel);
}

CoSharedPtr<DmSimpleChannel> DmCompSettings::getAttribut(AttributId id) const {
    return DmIdTable::get(m_attributs, id);
}

std::vector<DmCompSettings::AttributId> DmCompSettings::getAttributIds() const {
    return DmIdTable::ids(m_attributs);
}

void DmCompSettings::setChannel(ChannelId id, DmAnimationChannel* channel) {
    DmIdTable::put(m_channels, id, channel);
}

CoSharedPtr<DmAnimationChannel> DmCompSettings::getChannel(ChannelId id) const {
    return DmIdTable::get(m_channels, id);
}

std::vector<DmCompSettings::ChannelId> DmCompSettings::getChannelIds() const {
    return DmIdTable::ids(m_channels);
}

const char* DmCompSettings::getName() const {
    return "DmCompSettings";
}

CoSharedPtr<DmPropertySet> DmCompSettings::clone() const {
    return new DmCompSettings(*this);
}
