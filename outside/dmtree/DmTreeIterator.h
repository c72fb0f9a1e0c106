#pragma once

#include "outside/dmtree/DmApi.h"

class DmTreeNode;
class DmTreeVisitor;

/// A walk of a subtree that calls a visitor. Neither the start node nor the
/// visitor is owned; both must outlive traverse(). With a null start or a null
/// visitor, traverse does nothing.
class KRDMTREE_API DmTreeIterator {
public:
    virtual ~DmTreeIterator();
    DmTreeIterator(const DmTreeIterator&) = delete;
    DmTreeIterator& operator=(const DmTreeIterator&) = delete;

    /// Walks the whole subtree from the start node.
    void traverse();

protected:
    DmTreeIterator(DmTreeNode* start, DmTreeVisitor* visitor);
    /// Walks the subtree of `node`.
    virtual void walk(DmTreeNode* node) = 0;

    DmTreeVisitor* visitor() const { return m_visitor; }

private:
    DmTreeNode* m_start;
    DmTreeVisitor* m_visitor;
};

/// Pre-order walk: a node's visit operation (by its exact kind), then its children
/// in order, then its end operation (composition, track, layer). Nodes without a
/// visit operation (root, reel) are walked through. Each child is held with a
/// counted reference while its subtree is walked.
class KRDMTREE_API DmPreIt : public DmTreeIterator {
public:
    DmPreIt(DmTreeNode* start, DmTreeVisitor* visitor);

protected:
    void walk(DmTreeNode* node) override;
};
