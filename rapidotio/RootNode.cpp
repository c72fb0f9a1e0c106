#include "rapidotio/RootNode.h"

#include "rapidotio/keys/ObjectKeys.h"

namespace ZEM_0_81::rapidotio {

RootNode::RootNode(const Value& json, Node* parent) : Node(json, parent) {}

RootNode::RootNode(const std::string& name) : Node(name) {}

void RootNode::parseChildren() {
    // A document is either the timeline object itself or an object whose
    // "timeline" member holds it.
    const Value* timeline = nullptr;
    if (getObject(*json, keys::DocumentKeys::timeline, timeline))
        addParsedChild(*timeline);
    else
        addParsedChild(*json);
}

} // namespace ZEM_0_81::rapidotio
