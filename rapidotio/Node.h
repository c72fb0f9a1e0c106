#pragma once

#include "outside/core/RefCounted.h"
#include "outside/core/SharedPtr.h"
#include "rapidotio/JsonAccess.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace ZEM_0_81::rapidotio {

class DocumentMemory;
class MemberWriter;
class NodeVisitor;

/// The kind of media a track carries.
enum TrackKind : std::int32_t { None = 0, Video = 1, Audio = 2 };

/// Base of every node of an OTIO document tree. A node is read from one JSON
/// object of a DOM that its creator owns and that must outlive the node (its
/// children are read from it later, on the first traversal), or built empty by
/// name for writing. A node owns its children; its parent link is a plain back
/// pointer.
class Node : public RefCountedST {
public:
    /// Reads the node from `json`: keeps a pointer to it and the parent, and takes
    /// "name" when it is a string (silently "" otherwise).
    Node(const Value& json, Node* parent);
    /// An empty node for writing: a null JSON value, no parent, no children.
    explicit Node(const std::string& name);
    /// Releases the children; a subtree held only here is released without
    /// recursion, however deep.
    ~Node() override;

    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    /// Calls the visitor's visit operation for this node's type (none here).
    virtual void accept(NodeVisitor& visitor);
    /// Calls the visitor's leave operation for this node's type (none here).
    virtual void leave(NodeVisitor& visitor);
    /// Reads child nodes from the array under childrenKey() into children.
    virtual void parseChildren();
    /// The kind of the enclosing track: the first non-zero kind up the parent
    /// chain, or None.
    virtual TrackKind trackKind() const;
    /// Where a node writes itself, and where its children then write.
    enum class Placement {
        /// Nothing of its own: its children write where it would (the root, and
        /// the bases of the node classes).
        Through,
        /// Members of the object its owner is writing, its children's too (the
        /// timeline fills the document's top-level object).
        ObjectMembers,
        /// One member of the object its owner is writing; its children write into
        /// an array of it (the stack, under "tracks").
        ObjectMember,
        /// One element of the array its owner is writing; its children write into
        /// an array of it (tracks, clips, gaps and effects).
        Element,
    };
    /// This node's placement: Through in the base.
    virtual Placement placement() const;
    /// Writes this node's members in order into `writer`, marking with
    /// writer.children() where its children go (see MemberWriter; the document
    /// writer writes the children). The base writes nothing.
    virtual void toJson(MemberWriter& writer) const;
    /// The JSON key of this node's child array.
    virtual const char* childrenKey() const;

    /// Depth-first walk: accept, parse the children if there are none yet, walk
    /// each non-null child, leave. Runs on an explicit stack, so any tree depth
    /// that a document can hold is walked.
    void traverse(NodeVisitor& visitor);
    /// Walks as traverse does, and releases each node below this one as soon as
    /// it has been left (its parent's entry for it becomes null), so the nodes of
    /// a whole document never all live at once: for a visitor that reads a
    /// document a single time, such as the import. Nothing is left below this
    /// node afterwards. With the `memory` the document was
    /// parsed into, the DOM of what the walk has left is handed back as well:
    /// nodes read their JSON when they are made or first arrived at, never after
    /// they are left, and the text's order is the walk's.
    void traverseOnce(NodeVisitor& visitor, DocumentMemory* memory = nullptr);

    /// Links `child` under this node: sets its parent, then appends it.
    void addChild(const SharedPtr<Node>& child);

    const Value* json;
    std::vector<SharedPtr<Node>> children;
    Node* parent;
    std::string name;

protected:
    /// Creates a node from `object` with this node as parent and appends it when
    /// its schema is recognised.
    void addParsedChild(const Value& object);
    /// Creates and appends a node for each element of the array `key` of json;
    /// prints "Node '<name>' has no children" when there is no such array. An
    /// element that is not an object goes through createNode like any other and
    /// yields no node (createNode reports its missing "OTIO_SCHEMA").
    void parseChildArray(const char* key);
    /// The JSON value of nodes built by name: null, shared by the process.
    static const Value& nullJson();

private:
    /// The walk of traverse and traverseOnce.
    void walk(NodeVisitor& visitor, bool releaseWhenLeft, DocumentMemory* memory);
    /// The first non-zero kind among the tracks above this node, or None.
    TrackKind enclosingKind() const;

    // A node read from JSON never changes place, so the kind above it is fixed
    // when it is created: kept here, it spares every clip and gap a walk up the
    // whole parent chain (quadratic in documents that nest tracks deeply).
    TrackKind m_enclosingKind = None;
    bool m_enclosingKindKnown = false;
};

/// `node` as a `Leaf` when that is its class, else null: dynamic_cast for the
/// node classes nothing derives from, by one comparison of types instead of a
/// search of the class hierarchy (the importer asks it of every node it visits).
template <class Leaf, class Base> Leaf* leafCast(Base* node) {
    static_assert(std::is_final_v<std::remove_const_t<Leaf>>, "a leaf class is final");
    return node && typeid(*node) == typeid(Leaf) ? static_cast<Leaf*>(node) : nullptr;
}

} // namespace ZEM_0_81::rapidotio
