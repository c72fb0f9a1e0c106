#include "outside/dmtree/DmSegmentNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

#include <cstring>

DmSegmentNode::DmSegmentNode(const DmSegmentNode& other)
    : DmTreeNode(other), m_recIn(other.m_recIn), m_recLength(other.m_recLength),
      m_segmentId(other.m_segmentId), m_mediaType(other.m_mediaType) {
    m_effects.reserve(other.m_effects.size());
    for (const auto& effect : other.m_effects)
        m_effects.push_back(dmCloneOf(effect.get()));
}

DmSegmentNode::~DmSegmentNode() = default;

void DmSegmentNode::addEffect(DmEffectSettings* effect) {
    if (effect)
        m_effects.emplace_back(effect);
}

std::uint32_t DmSegmentNode::getNbEffects() const {
    return static_cast<std::uint32_t>(m_effects.size());
}

DmEffectSettings* DmSegmentNode::getEffect(std::uint32_t index) const {
    return index < m_effects.size() ? m_effects[index].get() : nullptr;
}

DmEffectSettings* DmSegmentNode::getEffectByName(const char* name) const {
    if (!name)
        return nullptr;
    for (const auto& effect : m_effects) {
        if (std::strcmp(effect->getName(), name) == 0)
            return effect.get();
    }
    return nullptr;
}

void DmSegmentNode::accept(DmTreeVisitor& visitor) {
    visitor.visitSegmentNode(this);
}
