#include "outside/dmtree/DmAnnotationSettings.h"

DmAnnotationSettings* DmAnnotationSettings::create() {
    return new DmAnnotationSettings();
}

DmAnnotationSettings::DmAnnotationSettings(const DmAnnotationSettings& other)
    : DmEffectSettings(other) {
    m_layers.reserve(other.m_layers.size());
    for (const auto& layer : other.m_layers)
        m_layers.push_back(dmCloneOf(layer.get()));
}

void DmAnnotationSettings::addLayer(DmEffectLayer* layer) {
    if (layer)
        m_layers.emplace_back(layer);
}

DmEffectLayer* DmAnnotationSettings::getLayer(std::uint32_t index) const {
    return index < m_layers.size() ? m_layers[index].get() : nullptr;
}

const char* DmAnnotationSettings::getName() const {
    return "DmAnnotationSettings";
}

CoSharedPtr<DmPropertySet> DmAnnotationSettings::clone() const {
    return new DmAnnotationSettings(*this);
}
