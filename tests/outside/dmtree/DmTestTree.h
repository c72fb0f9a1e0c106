#pragma once

// Trees and helpers shared by the edit-tree tests.

#include "outside/dmtree/DmTree.h"

#include <string>
#include <vector>

namespace DmTest {

/// A tree that uses every class of the library, with values set and left unset:
/// root > reel > composition > track > two layers; the first layer holds a source
/// with two inputs and every kind of effect, a cut, a gap and a container holding
/// a gap; the second layer holds a source without any input.
CoSharedPtr<DmRoot> makeFullTree();

/// Every object reachable from `node` (nodes, effects, layers, strokes, paragraphs,
/// channels, key frames, inputs, source information, resolutions, audio properties,
/// extra-data entries), each once per place it is held.
std::vector<const DmPropertySet*> collectObjects(const DmTreeNode* node);

/// The edit-tree JSON of `node`; fails the test when it cannot be written.
std::string jsonOf(const DmTreeNode* node);

/// A channel with one key per value, made as the composition library makes them.
DmAnimationChannel* makeChannel(std::initializer_list<float> values);

} // namespace DmTest
