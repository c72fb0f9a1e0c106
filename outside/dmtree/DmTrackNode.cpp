#include "outside/dmtree/DmTrackNode.h"

#include "outside/dmtree/DmTreeVisitor.h"

DmTrackNode* DmTrackNode::create(std::int32_t index, eDmTreeMediaType mediaType) {
    return new DmTrackNode(index, mediaType);
}

void DmTrackNode::accept(DmTreeVisitor& visitor) {
    visitor.visitTrackNode(this);
}

void DmTrackNode::acceptEnd(DmTreeVisitor& visitor) {
    visitor.endTrackNode(this);
}

DmTreeNode* DmTrackNode::copyNode() const {
    return new DmTrackNode(*this);
}
