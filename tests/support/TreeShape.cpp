#include "tests/support/TreeShape.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <sstream>

namespace ZEM_0_81::test {

namespace {

/// The children of `node` that are of type T.
template <typename T, typename Visit> void eachChild(const DmTreeNode& node, Visit visit) {
    for (std::uint32_t i = 0; i < node.getNbChildren(); ++i)
        if (const auto* child = dynamic_cast<const T*>(node.getChild(i)))
            visit(*child);
}

const char* kindOf(const DmTreeNode* node) {
    if (dynamic_cast<const DmSourceNode*>(node))
        return "s";
    if (dynamic_cast<const DmGapNode*>(node))
        return "g";
    if (dynamic_cast<const DmCutNode*>(node))
        return "c";
    return "?";
}

} // namespace

std::vector<std::string> layerShapes(const DmRoot& root) {
    std::vector<std::string> shapes;
    eachChild<DmReelNode>(root, [&](const DmReelNode& reel) {
        eachChild<DmCompositionNode>(reel, [&](const DmCompositionNode& composition) {
            eachChild<DmTrackNode>(composition, [&](const DmTrackNode& track) {
                eachChild<DmLayerNode>(track, [&](const DmLayerNode& layer) {
                    std::ostringstream shape;
                    shape << layer.getName().str() << " " << layer.getLayerStartTC() << "+"
                          << layer.getLayerLength() << ":";
                    for (std::uint32_t i = 0; i < layer.getNbChildren(); ++i)
                        shape << " " << kindOf(layer.getChild(i));
                    shapes.push_back(shape.str());
                });
            });
        });
    });
    return shapes;
}

} // namespace ZEM_0_81::test
