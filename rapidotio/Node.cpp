#include "rapidotio/Node.h"

#include "rapidotio/keys/ObjectKeys.h"

#include "rapidotio/DocumentMemory.h"
#include "rapidotio/NodeFactory.h"
#include "rapidotio/NodeVisitor.h"
#include "rapidotio/TrackNode.h"

#include <utility>

namespace ZEM_0_81::rapidotio {

Node::Node(const Value& json, Node* parent)
    : json(&json), parent(parent), name(silentString(json, keys::ObjectKeys::name)) {
    if (parent) {
        // A track answers with its own kind, any other node with the kind above
        // it: a virtual call instead of a type test for every node read.
        m_enclosingKind = parent->trackKind();
        if (m_enclosingKind == None)
            m_enclosingKind = parent->enclosingKind();
        m_enclosingKindKnown = true;
    }
}

Node::Node(const std::string& name) : json(&nullJson()), parent(nullptr), name(name) {}

Node::~Node() {
    // Release the subtree without recursion, so that a tree as deep as any
    // document the parser accepts cannot exhaust the stack: a child held only
    // here hands its own children over before it goes.
    std::vector<SharedPtr<Node>> pending;
    pending.swap(children);
    while (!pending.empty()) {
        SharedPtr<Node> node = std::move(pending.back());
        pending.pop_back();
        if (node && node->refcount() == 1) {
            for (SharedPtr<Node>& child : node->children)
                pending.push_back(std::move(child));
            node->children.clear();
        }
    }
}

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
    return enclosingKind();
}

TrackKind Node::enclosingKind() const {
    if (m_enclosingKindKnown && parent)
        return m_enclosingKind;
    for (const Node* node = parent; node; node = node->parent) {
        if (const auto* track = leafCast<const TrackNode>(node)) {
            const TrackKind kind = track->trackKind();
            if (kind != None)
                return kind;
        }
    }
    return None;
}

Node::Placement Node::placement() const {
    return Placement::Through;
}

void Node::toJson(MemberWriter&) const {}

const char* Node::childrenKey() const {
    return keys::ObjectKeys::children;
}

void Node::traverse(NodeVisitor& visitor) {
    walk(visitor, false, nullptr);
}

void Node::traverseOnce(NodeVisitor& visitor, DocumentMemory* memory) {
    walk(visitor, true, memory);
}

void Node::walk(NodeVisitor& visitor, bool releaseWhenLeft, DocumentMemory* memory) {
    // Depth-first with an explicit stack instead of recursion, for the same
    // reason as in the destructor. Each entry keeps its child alive while walked.
    struct Frame {
        Node* node;
        SharedPtr<Node> keep;
        std::size_t next;
    };
    std::vector<Frame> stack;
    auto arrive = [&](Node* node, SharedPtr<Node> keep) {
        node->accept(visitor);
        // Children are read here, on the first arrival; nodes built with
        // children (by the writer's caller) are never parsed.
        if (node->children.empty())
            node->parseChildren();
        stack.push_back(Frame{node, std::move(keep), 0});
    };

    arrive(this, SharedPtr<Node>());
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next < top.node->children.size()) {
            SharedPtr<Node> child = top.node->children[top.next++];
            if (child) {
                Node* node = child.get();
                arrive(node, std::move(child));
            }
            continue;
        }
        Node* node = top.node;
        const SharedPtr<Node> keep = std::move(top.keep);
        stack.pop_back();
        node->leave(visitor);
        // The children were left before their parent, and their own children are
        // gone already: releasing them recurses no further than one level.
        if (releaseWhenLeft) {
            node->children.clear();
            // The parent lets go of the node at once, so that it goes while it is
            // still in the cache, and the memory it held serves what the visitor
            // builds next; it does not wait for its siblings.
            if (!stack.empty())
                stack.back().node->children[stack.back().next - 1] = SharedPtr<Node>();
        }
        if (memory)
            memory->release(*node->json);
    }
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
    children.reserve(children.size() + array->Size());
    for (const Value& element : array->GetArray())
        addParsedChild(element);
}

} // namespace ZEM_0_81::rapidotio
