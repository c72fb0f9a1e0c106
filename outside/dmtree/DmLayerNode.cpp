#include "outside/dmtree/DmLayerNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmLayerNode* DmLayerNode::create(std::int32_t index, eDmTreeMediaType mediaType,
                                 std::int32_t parameter, bool firstLayer) {
    return new DmLayerNode(index, mediaType, parameter, firstLayer);
}

void DmLayerNode::accept(DmTreeVisitor& visitor) {
    visitor.visitLayerNode(this);
}

void DmLayerNode::acceptEnd(DmTreeVisitor& visitor) {
    visitor.endLayerNode(this);
}

DmTreeNode* DmLayerNode::copyNode() const {
    return new DmLayerNode(*this);
}
