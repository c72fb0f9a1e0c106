#pragma once

namespace ZEM_0_81::rapidotio {

class Node;

/// Receives the nodes of a document tree during Node::traverse: the visit of a
/// node comes before its children are read, its leave after all descendants.
/// Every effect kind goes to visitEffect/leaveEffect; visitors tell them apart by
/// dynamic type. The base does nothing.
class NodeVisitor {
public:
    virtual ~NodeVisitor() = default;
    virtual void visitTimeline(Node*) {}
    virtual void leaveTimeline(Node*) {}
    virtual void visitStack(Node*) {}
    virtual void leaveStack(Node*) {}
    virtual void visitTrack(Node*) {}
    virtual void leaveTrack(Node*) {}
    virtual void visitClip(Node*) {}
    virtual void leaveClip(Node*) {}
    virtual void visitEffect(Node*) {}
    virtual void leaveEffect(Node*) {}
    virtual void visitGap(Node*) {}
    virtual void leaveGap(Node*) {}
};

} // namespace ZEM_0_81::rapidotio
