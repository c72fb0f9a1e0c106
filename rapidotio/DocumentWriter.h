#pragma once

#include "outside/core/String.h"
#include "outside/dmtree/DmString.h"
#include "rapidotio/MemberWriter.h"
#include "rapidotio/Node.h"
#include "rapidotio/TextOutput.h"

#include <cstddef>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// Writes the tree of nodes[0] as one compact JSON text into `out`: nodes[0]
/// writes into the document's top-level object (a RootNode hands it to the
/// timeline, which fills it). The text is streamed as the nodes write their
/// members, without a DOM. An empty list, or a null first entry, leaves `out`
/// untouched. Throws Json::Exception with JsonConversionFailed (780) when a
/// number in the tree is not finite, which JSON cannot express; `out` is then
/// untouched, so no truncated text is handed out. A node linked under an owner
/// that cannot hold it (an array element under an object, or the reverse)
/// writes nothing, nor does its subtree.
void writeDocument(const std::vector<SharedPtr<Node>>& nodes, DmString& out);

/// What the JSON writer is in the middle of when a node is written into it.
enum class WriteTarget {
    Object, ///< the members of an object
    Array,  ///< the elements of an array
};

/// Writes `node` and its subtree into `writer`, which is writing `target`, as the
/// node's owner would have it written: each node's head, its children, its tail,
/// walked with a stack of its own (no recursion, whatever the depth). Throws as
/// writeDocument does.
void writeTree(const Node& node, JsonTextWriter& writer, WriteTarget target);

/// Writes a document while its tree is being built, so that the tree never has
/// to be held whole: the nodes that hold others are opened before their
/// children come and closed after them, every other node is written, with its
/// subtree, as it is added, and can then be let go. The text is the one
/// writeDocument gives for the tree that the same calls describe, under a
/// RootNode. Throws as writeDocument does; the text is then not to be used.
class DocumentStream {
public:
    /// Starts the document's top-level object. `expected` is a guess of the
    /// text's length, room reserved from the start.
    explicit DocumentStream(std::size_t expected = 0);
    DocumentStream(const DocumentStream&) = delete;
    DocumentStream& operator=(const DocumentStream&) = delete;

    /// Opens `node` under the node opened last: writes what comes before its
    /// children. The node must live until it is closed, and must write the place
    /// of its children whether or not any come (every node but an effect does).
    void open(const Node& node);
    /// Writes `node`, with its subtree, under the node opened last.
    void add(const Node& node);
    /// Closes the node opened last: writes what comes after its children. The
    /// top level is never closed this way.
    void close();
    /// Ends the top-level object and hands the text over without a copy.
    String finish();

private:
    struct Open {
        const Node* node;        ///< null for the top level
        WriteTarget childTarget; ///< where its children write
        bool written;            ///< false when its owner could not hold it
    };

    TextOutput m_output;
    JsonTextWriter m_writer;
    std::vector<Open> m_open;
};

} // namespace ZEM_0_81::rapidotio
