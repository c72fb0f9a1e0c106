#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "rapidotio/NodeVisitor.h"

class DmRoot;

namespace ZEM_0_81::Json {

/// Builds an edit tree from an OTIO node tree during one depth-first traversal
/// (rapidotio::Node::traverse). The timeline becomes a composition in a reel of
/// its own, the stack a track, each OTIO track a layer, clips sources with their
/// media inputs and gaps gap segments, consecutive segments separated by cuts;
/// effects and annotations attach to the segment imported last.
///
/// Use one importer per import: construct it on the root to fill (it adds one
/// reel at once, even if nothing is imported), pass it to `traverse` of the
/// document's RootNode, and destroy it. The edit tree stays with the caller.
///
/// Nothing here throws for bad input or reports an error: values missing from
/// the document take documented defaults, each announced through
/// rapidotio::debugPrint (printed only while "KR_DEBUG_OTIO" is set). Nodes met
/// where their container does not exist (a stack before any timeline, a track
/// outside a stack, a clip or gap before the first track of the current stack)
/// are skipped; the effects of a skipped clip or gap are dropped with it.
class DmTreeImporter : public rapidotio::NodeVisitor {
public:
    /// Takes a counted reference to `root` and adds a new, empty reel to it.
    explicit DmTreeImporter(const CoSharedPtr<DmRoot>& root);
    ~DmTreeImporter() override;

    DmTreeImporter(const DmTreeImporter&) = delete;
    DmTreeImporter& operator=(const DmTreeImporter&) = delete;

    /// Creates the composition, fixing its frame rate and start frame.
    void visitTimeline(rapidotio::Node* node) override;
    /// Creates a track of the current composition.
    void visitStack(rapidotio::Node* node) override;
    /// Creates a layer of the current track; record positions restart at the
    /// start frame.
    void visitTrack(rapidotio::Node* node) override;
    /// Settles the start and length of the finished layer and of the composition.
    void leaveTrack(rapidotio::Node* node) override;
    /// Places a gap segment on the current layer.
    void visitGap(rapidotio::Node* node) override;
    /// Places a source segment with its media inputs on the current layer.
    void visitClip(rapidotio::Node* node) override;
    /// Adds compositing, angular-mask, look or annotation settings to the segment
    /// imported last.
    void visitEffect(rapidotio::Node* node) override;

    struct Impl;

private:
    Impl* m_impl;
};

} // namespace ZEM_0_81::Json
