#pragma once

#include "outside/dmtree/DmEffectSettings.h"
#include "outside/dmtree/DmTreeNode.h"

#include <vector>

/// Base of the segments a layer holds (sources, gaps, cuts): record-in and record
/// length in frames, a segment id, a media type and an ordered list of effects,
/// each held with a counted reference.
class KRDMTREE_API DmSegmentNode : public DmTreeNode {
public:
    ~DmSegmentNode() override;

    double getRecIn() const { return m_recIn; }
    void setRecIn(double recIn) { m_recIn = recIn; }
    /// The last setRecLength, else the length given to create.
    double getRecLength() const { return m_recLength; }
    void setRecLength(double length) { m_recLength = length; }
    /// "" until set.
    DmString getSegmentId() const { return m_segmentId; }
    void setSegmentId(DmString id) { m_segmentId = std::move(id); }
    eDmTreeMediaType getMediaType() const { return m_mediaType; }
    void setMediaType(eDmTreeMediaType mediaType) { m_mediaType = mediaType; }

    /// Appends an effect, keeping a counted reference; null is ignored.
    void addEffect(DmEffectSettings* effect);
    std::uint32_t getNbEffects() const;
    /// The effect at `index`, or null past the end; the segment keeps its reference.
    DmEffectSettings* getEffect(std::uint32_t index) const;
    /// The first effect whose getName() equals `name`, or null (also for a null name).
    DmEffectSettings* getEffectByName(const char* name) const;

    /// Calls visitSegmentNode; the concrete kinds call their own visit instead.
    void accept(DmTreeVisitor& visitor) override;

protected:
    DmSegmentNode(double recIn, double recLength, eDmTreeMediaType mediaType)
        : m_recIn(recIn), m_recLength(recLength), m_mediaType(mediaType) {}
    /// Copies the values and deep-copies every effect (and the tree-node part).
    DmSegmentNode(const DmSegmentNode& other);

private:
    double m_recIn;
    double m_recLength;
    DmString m_segmentId;
    eDmTreeMediaType m_mediaType;
    std::vector<CoSharedPtr<DmEffectSettings>> m_effects;
};
