#include "outside/dmtree/DmTextLayer.h"

#include "outside/dmtree/DmIdTable.h"

DmTextLayer* DmTextLayer::create() {
    return new DmTextLayer();
}

DmTextLayer::DmTextLayer(const DmTextLayer& other)
    : DmEffectLayer(other), m_channels(DmIdTable::deepCopy(other.m_channels)) {
    m_paragraphs.reserve(other.m_paragraphs.size());
    for (const auto& paragraph : other.m_paragraphs)
        m_paragraphs.push_back(dmCloneOf(paragraph.get()));
}

void DmTextLayer::addParagraph(DmTextParagraph* paragraph) {
    if (paragraph)
        m_paragraphs.emplace_back(paragraph);
}

DmTextParagraph* DmTextLayer::getParagraph(std::uint32_t index) const {
    return index < m_paragraphs.size() ? m_paragraphs[index].get() : nullptr;
}

void DmTextLayer::setChannel(ChannelId id, DmAnimationChannel* channel) {
    DmIdTable::put(m_channels, id, channel);
}

CoSharedPtr<DmAnimationChannel> DmTextLayer::getChannel(ChannelId id) const {
    return DmIdTable::get(m_channels, id);
}

std::vector<DmTextLayer::ChannelId> DmTextLayer::getChannelIds() const {
    return DmIdTable::ids(m_channels);
}

const char* DmTextLayer::getName() const {
    return "DmTextLayer";
}

CoSharedPtr<DmPropertySet> DmTextLayer::clone() const {
    return new DmTextLayer(*this);
}
