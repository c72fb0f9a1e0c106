#pragma once

#include "outside/dmtree/DmEffectLayer.h"
#include "outside/dmtree/DmEffectSettings.h"

#include <vector>

/// An annotation: an ordered list of effect layers (paint and text), each held
/// with a counted reference.
class KRDMTREE_API DmAnnotationSettings : public DmEffectSettings {
public:
    /// An annotation without layers, without a reference taken.
    static DmAnnotationSettings* create();

    /// Appends a layer, keeping a counted reference; null is ignored.
    void addLayer(DmEffectLayer* layer);
    std::uint32_t getNbLayers() const { return static_cast<std::uint32_t>(m_layers.size()); }
    /// The layer at `index`, or null past the end; the annotation keeps its reference.
    DmEffectLayer* getLayer(std::uint32_t index) const;

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmAnnotationSettings() = default;
    /// Deep-copies every layer.
    DmAnnotationSettings(const DmAnnotationSettings& other);

private:
    std::vector<CoSharedPtr<DmEffectLayer>> m_layers;
};
