#pragma once

#include "outside/dmtree/DmString.h"
#include "rapidotio/Node.h"

#include <vector>

namespace ZEM_0_81::rapidotio {

/// Writes the tree of nodes[0] as one compact JSON text into `out`: nodes[0]
/// writes into the document's top-level object (a RootNode hands it to the
/// timeline, which fills it). An empty list, or a null first entry, leaves `out`
/// untouched. Throws Json::Exception with JsonConversionFailed (780) when a
/// number in the tree is not finite, which JSON cannot express; `out` is then
/// untouched, so no truncated text is handed out. A node linked under an owner
/// that cannot hold it (an array-appending node under an object target, or the
/// reverse) writes nothing.
void writeDocument(const std::vector<SharedPtr<Node>>& nodes, DmString& out);

} // namespace ZEM_0_81::rapidotio
