#pragma once

// The shape of an edit tree's layers, as one line of text each, for tests to
// compare with what they work out by hand: what the timeline views do not show
// (a layer's own start and length, the cuts between its segments).

#include <string>
#include <vector>

class DmRoot;

namespace ZEM_0_81::test {

/// Each layer of each composition of `root`, in the tree's order, as
/// "NAME START+LENGTH: KINDS", KINDS naming its children in order: "s" a
/// source, "g" a gap, "c" a cut, "?" any other node ("V 0+72: s c g c s").
std::vector<std::string> layerShapes(const DmRoot& root);

} // namespace ZEM_0_81::test
