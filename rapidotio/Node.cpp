#include "rapidotio/Node.h"

#include "rapidotio/NodeFactory.h"
#include "rapidotio/NodeVisitor.h"
#include "rapidotio/TrackNode.h"

namespace ZEM_0_81::rapidotio {

Node::Node(const Value& json, Node* parent)
    : json(&json), parent(parent), name(silentString(json, "name")) {}

Node::Node(const std::string& name) : json(&nullJson()), parent(nullptr), name(name) {}

Node::~Node() = default;

const Value& Node::nullJson() {
    static const Value null;
    return null;
}

void Node::accept(NodeVisitor&) {}

void Node::leave(NodeVisitor&) {}

void Node::parseChildren() {
    parseChildArray(childrenKey());
}

TrackKind Node::trackKind() const {
    // Only tracks have a kind of their own; every other node asks upwards, so the
    // nearest track with a non-zero kind decides.
    for (const Node* node = parent; node; node = node->parent) {
        if (const auto* track = dynamic_cast<const TrackNode*>(node)) {
            const TrackKind kind = track->trackKind();
            if (kind != None)
                return kind;
        }
    }
    return None;
}

void Node::toJson(Value& target, Allocator& allocator) const {
    childrenToJson(target, allocator);
}

const char* Node::childrenKey() const {
    return "children";
}

void Node::traverse(NodeVisitor& visitor) {
    accept(visitor);
    // Children are read here, on the first arrival; nodes built with children
    // (by the writer's caller) are never parsed.
    if (children.empty())
        parseChildren();
    for (std::size_t i = 0; i < children.size(); ++i) {
        const SharedPtr<Node> child = children[i];
        if (child)
            child->traverse(visitor);
    }
    leave(visitor);
}

void Node::addChild(const SharedPtr<Node>& child) {
    if (child)
        child->parent = this;
    children.push_back(child);
}

void Node::addParsedChild(const Value& object) {
    SharedPtr<Node> child = createNode(object, this);
    if (child)
        addChild(child);
}

void Node::parseChildArray(const char* key) {
    const Value* array = nullptr;
    if (!getArray(*json, key, array)) {
        debugPrint("Node '%s' has no children\n", name.c_str());
        return;
    }
    for (const Value& element : array->GetArray())
        addParsedChild(element);
}

void Node::childrenToJson(Value& target, Allocator& allocator) const {
    for (const SharedPtr<Node>& child : children) {
        if (child)
            child->toJson(target, allocator);
    }
}

} // namespace ZEM_0_81::rapidotio
