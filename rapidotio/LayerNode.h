#pragma once

#include "rapidotio/EffectNode.h"

#include <cstdint>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// A drawn layer of an annotation (paint stroke or text): an effect with hold
/// and ghosting attributes. Only a base of PaintNode and TextNode.
class LayerNode : public EffectNode {
public:
    using Parent = EffectNode;

    /// Reads the effect members, then "hold", "ghost", "ghost_before", "ghost_after".
    LayerNode(const Value& json, Node* parent);
    explicit LayerNode(const std::string& name, bool hold = false, bool ghost = false,
                       std::uint32_t ghost_before = 3, std::uint32_t ghost_after = 3);

    bool hold = false;
    bool ghost = false;
    std::uint32_t ghost_before = 3;
    std::uint32_t ghost_after = 3;

protected:
    /// Writes "hold", "ghost", "ghost_before", "ghost_after".
    void writeLayerMembers(MemberWriter& writer) const;
    /// Appends each element of the "rgba" array of `object` as a float, any
    /// number form accepted; an element that is not a number gives 0.
    static void readColour(const Value& object, std::vector<float>& rgba);
};

} // namespace ZEM_0_81::rapidotio
