#include "outside/dmtree/DmTextParagraph.h"

#include "outside/dmtree/DmIdTable.h"

DmTextParagraph* DmTextParagraph::create() {
    return new DmTextParagraph();
}

DmTextParagraph::DmTextParagraph(const DmTextParagraph& other)
    : DmPropertySet(other), text(other.text), fontName(other.fontName), m_width(other.m_width),
      m_channels(DmIdTable::deepCopy(other.m_channels)),
      m_attributs(DmIdTable::deepCopy(other.m_attributs)) {}

float DmTextParagraph::getFontSize() const {
    const auto channel = getChannel(kFontSize);
    if (!channel)
        return 0.0f;
    const auto key = channel->getKeyFrame(0);
    return key ? key->getValue() : 0.0f;
}

void DmTextParagraph::setChannel(ChannelId id, DmAnimationChannel* channel) {
    DmIdTable::put(m_channels, id, channel);
}

CoSharedPtr<DmAnimationChannel> DmTextParagraph::getChannel(ChannelId id) const {
    return DmIdTable::get(m_channels, id);
}

std::vector<DmTextParagraph::ChannelId> DmTextParagraph::getChannelIds() const {
    return DmIdTable::ids(m_channels);
}

void DmTextParagraph::setAttribut(AttributId id, DmSimpleChannel* channel) {
    DmIdTable::put(m_attributs, id, channel);
}

CoSharedPtr<DmSimpleChannel> DmTextParagraph::getAttribut(AttributId id) const {
    return DmIdTable::get(m_attributs, id);
}

std::vector<DmTextParagraph::AttributId> DmTextParagraph::getAttributIds() const {
    return DmIdTable::ids(m_attributs);
}

const char* DmTextParagraph::getName() const {
    return "DmTextParagraph";
}

CoSharedPtr<DmPropertySet> DmTextParagraph::clone() const {
    return new DmTextParagraph(*this);
}
