#pragma once

// Helpers shared by the export tests: edit trees built with the edit-tree API,
// and expected OTIO documents written readably.

#include "outside/dmtree/DmTree.h"
#include "tests/support/OtioText.h"

#include <string>

namespace ZEM_0_81::test {

/// `text` without the whitespace that lies outside JSON strings, so expected
/// documents can be written indented and compared with the compact output.
std::string compactJson(const std::string& text);

/// The text exportOtioJson makes of `root`; records a test failure when the
/// export fails.
std::string exportText(const CoSharedPtr<DmRoot>& root);

/// A channel holding one key frame with `value`.
DmAnimationChannel* constantChannel(float value);

/// An edit tree with one composition "Edit" at `fcm` (start TC 0), one track and
/// one video layer "V1"; tests add segments to `layer`.
struct OneLayerTree {
    explicit OneLayerTree(const char* fcm = "24");

    CoSharedPtr<DmRoot> root;
    DmCompositionNode* composition;
    DmTrackNode* track;
    DmLayerNode* layer;

    /// Appends `segment` to the layer, after a cut when the layer holds one already.
    void add(DmSegmentNode* segment);
    /// The exported text of the tree.
    std::string exported() const { return exportText(root); }
};

/// The document OneLayerTree exports when its layer's children print as
/// `children` (compact or readable JSON, without the brackets) at the printed
/// rate `rate`.
std::string oneLayerDocument(const std::string& children, const std::string& rate = "24.0");

/// A media input over [availIn, availIn + availLength) at `fcm` with source
/// information of the given kinds and first sequence, and the UID text `uid`.
DmSourceNode::MediaInput* mediaInput(double availIn, double availLength, const char* fcm,
                                     DmSourceInfo::SourceType sourceType,
                                     DmSourceInfo::FileType fileType, const char* sequence,
                                     const char* uid = "");

/// A source over `input` named "clip" playing `recLength` record frames from the
/// relative source-in `relIn`.
DmSourceNode* sourceOver(DmSourceNode::Input* input, double recLength, double relIn = 0.0);

} // namespace ZEM_0_81::test
