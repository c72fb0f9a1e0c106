#pragma once

#include "outside/dmtree/DmPropertySet.h"

#include <cstdint>
#include <vector>

class DmTreeVisitor;

/// A node of the edit tree: a name and an ordered list of children, each held with
/// a counted reference. The concrete kinds (root, reel, composition, track, layer,
/// segments, container) derive from it; tell them apart with dynamic_cast.
class KRDMTREE_API DmTreeNode : public DmPropertySet {
public:
    /// Releases the children. A subtree that nobody else holds is released
    /// level by level without recursion, so that a tree of any depth can go.
    ~DmTreeNode() override;

    virtual std::uint32_t getNbChildren() const;
    /// The child at `index`, or null past the end. The node keeps its reference.
    virtual DmTreeNode* getChild(std::uint32_t index) const;
    /// Appends `child` and keeps a counted reference to it. 0 on success; 1 when
    /// `child` is null or this node itself (nothing is added then). A node must not
    /// be added below one of its own descendants: the tree would hold itself.
    virtual int addChild(DmTreeNode* child);

    /// Calls the visitor's visit operation of this node's exact kind; root and reel
    /// have none and do nothing.
    virtual void accept(DmTreeVisitor& visitor);
    /// Calls the visitor's end operation after this node's subtree (composition,
    /// track and layer only; the others do nothing).
    virtual void acceptEnd(DmTreeVisitor& visitor);

    /// Takes `name` by value: a temporary text moves in without a copy.
    void setName(DmString name) { m_name = std::move(name); }
    /// "" until set by setName or a naming create.
    DmString getName() const { return m_name; }

    /// Deep copy of this node and its whole subtree, each node as its own kind
    /// (see copyNode). Copies level by level without recursion, so that a tree
    /// of any depth can be copied.
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmTreeNode() = default;
    /// Copies the name and properties, not the children: clone copies those.
    DmTreeNode(const DmTreeNode& other);

    /// A copy of this node alone, as its own kind, without a reference taken:
    /// its values, effects and inputs deep-copied, no children.
    virtual DmTreeNode* copyNode() const = 0;

private:
    DmString m_name;
    std::vector<CoSharedPtr<DmTreeNode>> m_children;
};
