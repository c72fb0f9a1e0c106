#pragma once

#include "outside/dmtree/DmEffectLayer.h"
#include "outside/dmtree/DmStroke.h"

#include <vector>

/// A paint layer of an annotation: strokes in the order added.
class KRDMTREE_API DmPaintLayer : public DmEffectLayer {
public:
    /// An empty layer without a reference taken.
    static DmPaintLayer* create();

    /// Appends a stroke, keeping a counted reference; null is ignored.
    void addStroke(DmStroke* stroke);
    std::uint32_t getNbStrokes() const { return static_cast<std::uint32_t>(m_strokes.size()); }
    /// The stroke at `index`, or null past the end; the layer keeps its reference.
    DmStroke* getStroke(std::uint32_t index) const;

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmPaintLayer() = default;
    /// Deep-copies every stroke.
    DmPaintLayer(const DmPaintLayer& other);

private:
    std::vector<CoSharedPtr<DmStroke>> m_strokes;
};
