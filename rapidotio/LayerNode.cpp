#include "rapidotio/LayerNode.h"

namespace ZEM_0_81::rapidotio {

using keys::LayerKeys;

LayerNode::LayerNode(const Value& json, Node* parent) : EffectNode(json, parent) {
    getBool(json, LayerKeys::hold, hold);
    getBool(json, LayerKeys::ghost, ghost);
    getUint(json, LayerKeys::ghostBefore, ghost_before);
    getUint(json, LayerKeys::ghostAfter, ghost_after);
}

LayerNode::LayerNode(const std::string& name, bool hold, bool ghost, std::uint32_t ghost_before,
                     std::uint32_t ghost_after)
    : EffectNode(name), hold(hold), ghost(ghost), ghost_before(ghost_before),
      ghost_after(ghost_after) {}

void LayerNode::writeLayerMembers(MemberWriter& writer) const {
    writer.member(LayerKeys::hold, hold);
    writer.member(LayerKeys::ghost, ghost);
    writer.member(LayerKeys::ghostBefore, ghost_before);
    writer.member(LayerKeys::ghostAfter, ghost_after);
}

void LayerNode::readColour(const Value& object, std::vector<float>& rgba) {
    const Value* array = nullptr;
    if (!getArray(object, LayerKeys::rgba, array))
        return;
    rgba.reserve(rgba.size() + array->Size());
    for (const Value& element : array->GetArray())
        rgba.push_back(narrowToFloat(numberOrZero(element)));
}

} // namespace ZEM_0_81::rapidotio
