#include "outside/dmtree/DmPaintLayer.h"

DmPaintLayer* DmPaintLayer::create() {
    return new DmPaintLayer();
}

DmPaintLayer::DmPaintLayer(const DmPaintLayer& other) : DmEffectLayer(other) {
    m_strokes.reserve(other.m_strokes.size());
    for (const auto& stroke : other.m_strokes)
        m_strokes.push_back(dmCloneOf(stroke.get()));
}

void DmPaintLayer::addStroke(DmStroke* stroke) {
    if (stroke)
        m_strokes.emplace_back(stroke);
}

DmStroke* DmPaintLayer::getStroke(std::uint32_t index) const {
    return index < m_strokes.size() ? m_strokes[index].get() : nullptr;
}

const char* DmPaintLayer::getName() const {
    return "DmPaintLayer";
}

CoSharedPtr<DmPropertySet> DmPaintLayer::clone() const {
    return new DmPaintLayer(*this);
}
