#pragma once

#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmTreeNode.h"

#include <vector>

namespace ZEM_0_81::Interchange {

/// Edit-tree nodes that standard OTIO has no place for (a node of an unexpected
/// kind under a composition, track or layer, children of a segment, cuts other
/// than the plain cut between two segments), kept whole in a "zem" description
/// as an array of edit-tree JSON documents (outside/dmtree/JSON.md), one per node,
/// so that they come back where they were.
namespace EditTreeNodes {

/// Members of a node's "zem" description that keep such nodes: "before", the
/// nodes among its parent's children between it and the previous child that
/// standard OTIO shows; "after", its own children after the last child shown.
constexpr const char* kBefore = "before";
constexpr const char* kAfter = "after";

/// Writes member `key`: one edit-tree JSON document per node; nothing when
/// `nodes` is empty, unless `evenWhenEmpty` (an empty list that differs from what
/// the reader would otherwise assume). Throws Json::Exception with JsonGenerationFailed when the
/// edit-tree library cannot write a node (a non-finite number in it, a subtree
/// deeper than its JSON allows, a kind it does not know).
void write(OtioWriter& writer, const char* key, const std::vector<const DmTreeNode*>& nodes,
           bool evenWhenEmpty = false);

/// The nodes of member `key` of `members`, in order. An entry the edit-tree
/// library cannot read is reported as a loss and left out.
std::vector<CoSharedPtr<DmTreeNode>> read(const Members& members, const char* key);

} // namespace EditTreeNodes

} // namespace ZEM_0_81::Interchange
