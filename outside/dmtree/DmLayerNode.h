#pragma once

#include "outside/dmtree/DmTreeNode.h"

/// A layer of a track: index, media type, start TC and length in frames; its
/// children are segments (sources, gaps, cuts).
class KRDMTREE_API DmLayerNode : public DmTreeNode {
public:
    /// A layer with start TC 0 and length 0, without a reference taken. `parameter`
    /// is kept as given; `firstLayer` says whether it is its track's first layer.
    static DmLayerNode* create(std::int32_t index, eDmTreeMediaType mediaType,
                               std::int32_t parameter, bool firstLayer);

    /// The media type; set by create, may be changed directly.
    eDmTreeMediaType mediaType;

    std::int32_t getIndex() const { return m_index; }
    std::int32_t getParameter() const { return m_parameter; }
    bool isFirstLayer() const { return m_firstLayer; }
    double getLayerStartTC() const { return m_startTC; }
    void setLayerStartTC(double tc) { m_startTC = tc; }
    double getLayerLength() const { return m_length; }
    void setLayerLength(double length) { m_length = length; }

    void accept(DmTreeVisitor& visitor) override;
    void acceptEnd(DmTreeVisitor& visitor) override;

protected:
    DmTreeNode* copyNode() const override;
    DmLayerNode(std::int32_t index, eDmTreeMediaType type, std::int32_t parameter, bool firstLayer)
        : mediaType(type), m_index(index), m_parameter(parameter), m_firstLayer(firstLayer) {}
    DmLayerNode(const DmLayerNode&) = default;

private:
    std::int32_t m_index;
    std::int32_t m_parameter;
    bool m_firstLayer;
    double m_startTC = 0.0;
    double m_length = 0.0;
};
