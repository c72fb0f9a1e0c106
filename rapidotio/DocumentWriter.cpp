#include "rapidotio/DocumentWriter.h"

#include <string>
#include <utility>

namespace ZEM_0_81::rapidotio {

namespace {

using Placement = Node::Placement;

/// True when a node of `placement` writes anything into `target`.
bool fits(Placement placement, WriteTarget target) {
    switch (placement) {
    case Placement::Through:
        return true;
    case Placement::ObjectMembers:
    case Placement::ObjectMember:
        return target == WriteTarget::Object;
    case Placement::Element:
        return target == WriteTarget::Array;
    }
    return false;
}

/// Where the children of a node of `placement`, written into `target`, write.
WriteTarget childTarget(Placement placement, WriteTarget target) {
    switch (placement) {
    case Placement::Through:
        return target;
    case Placement::ObjectMembers:
        return WriteTarget::Object;
    case Placement::ObjectMember:
    case Placement::Element:
        return WriteTarget::Array;
    }
    return target;
}

bool hasChildren(const Node& node) {
    for (const SharedPtr<Node>& child : node.children) {
        if (child)
            return true;
    }
    return false;
}

/// True when at least one of `node`'s children writes an element into the array
/// they are written into: an element node does, and so does a pass-through node
/// with such a child below it. Walked with a stack of its own.
bool childrenWriteElements(const Node& node) {
    std::vector<const Node*> pending{&node};
    while (!pending.empty()) {
        const Node* next = pending.back();
        pending.pop_back();
        for (const SharedPtr<Node>& child : next->children) {
            if (!child)
                continue;
            const Placement placement = child->placement();
            if (placement == Placement::Element)
                return true;
            if (placement == Placement::Through)
                pending.push_back(child.get());
        }
    }
    return false;
}

} // namespace

void writeTree(const Node& root, JsonTextWriter& writer, WriteTarget target) {
    // One entry per node whose children are being written: the node's tail is
    // written when they are done.
    struct Open {
        const Node* node;
        WriteTarget childTarget;
        std::size_t next;
        bool writesTail;
        bool childrenWritten;
    };
    std::vector<Open> open;

    auto arrive = [&](const Node& node, WriteTarget into) {
        const Placement placement = node.placement();
        if (!fits(placement, into))
            return; // the owner cannot hold it: nothing of its subtree is written
        const WriteTarget inner = childTarget(placement, into);
        if (placement == Placement::Through) {
            open.push_back(Open{&node, inner, 0, false, false});
            return;
        }
        if (!hasChildren(node)) {
            MemberWriter whole(writer, MemberWriter::Part::Whole);
            node.toJson(whole);
            return;
        }
        const bool childrenWritten = inner == WriteTarget::Array && childrenWriteElements(node);
        MemberWriter head(writer, MemberWriter::Part::Head, childrenWritten);
        node.toJson(head);
        open.push_back(Open{&node, inner, 0, true, childrenWritten});
    };

    arrive(root, target);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < top.node->children.size()) {
            const Node* child = top.node->children[top.next++].get();
            const WriteTarget into = top.childTarget;
            if (child)
                arrive(*child, into); // may grow `open`: `top` is not used after this
            continue;
        }
        const Open done = top;
        open.pop_back();
        if (done.writesTail) {
            MemberWriter tail(writer, MemberWriter::Part::Tail, done.childrenWritten);
            done.node->toJson(tail);
        }
    }
}

void writeDocument(const std::vector<SharedPtr<Node>>& nodes, DmString& out) {
    if (nodes.empty() || !nodes.front())
        return;

    TextOutput output;
    JsonTextWriter writer(output);
    // A RootNode writes nothing itself and hands the top-level object to the
    // timeline, which fills it.
    writer.StartObject();
    writeTree(*nodes.front(), writer, WriteTarget::Object);
    writer.EndObject();
    out = DmString(output.copyText());
}

// --- DocumentStream --------------------------------------------------------------

DocumentStream::DocumentStream(std::size_t expected) : m_output(expected), m_writer(m_output) {
    m_writer.StartObject();
    m_open.push_back(Open{nullptr, WriteTarget::Object, true});
}

void DocumentStream::open(const Node& node) {
    const Open& owner = m_open.back();
    const Placement placement = node.placement();
    const bool written = owner.written && fits(placement, owner.childTarget);
    const WriteTarget inner = childTarget(placement, owner.childTarget);
    if (written && placement != Placement::Through) {
        MemberWriter head(m_writer, MemberWriter::Part::Head, true);
        node.toJson(head);
    }
    m_open.push_back(Open{&node, inner, written});
}

void DocumentStream::add(const Node& node) {
    const Open& owner = m_open.back();
    if (owner.written)
        writeTree(node, m_writer, owner.childTarget);
}

void DocumentStream::close() {
    if (m_open.size() < 2)
        return;
    const Open done = m_open.back();
    m_open.pop_back();
    if (done.written && done.node->placement() != Placement::Through) {
        MemberWriter tail(m_writer, MemberWriter::Part::Tail, true);
        done.node->toJson(tail);
    }
}

String DocumentStream::finish() {
    while (m_open.size() > 1)
        close();
    m_writer.EndObject();
    return m_output.takeString();
}

} // namespace ZEM_0_81::rapidotio
