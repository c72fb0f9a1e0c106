#pragma once

#include "outside/core/SharedPtr.h"
#include "outside/dmtree/DmTreeVisitor.h"

#include <vector>

namespace ZEM_0_81::rapidotio {
class DocumentStream;
class Node;
} // namespace ZEM_0_81::rapidotio

namespace ZEM_0_81::Json {

struct ExportContext;

/// Builds an OTIO document tree (rapidotio nodes) from an edit tree while a
/// DmPreIt walks it: a Timeline per composition, a Stack per track, a Track per
/// layer, a Clip per source that has an input and a Gap per gap segment, each
/// clip and gap with its effects. Cuts, containers and the other kinds add
/// nothing, but what lies below them is still exported, under the node open at
/// that moment. Built without a stream, the exporter writes no JSON itself and
/// keeps the tree: rapidotio::writeDocument prints nodeStack() once the walk is
/// over. Built with a stream, it writes the same document into it as the walk
/// goes and keeps only the open nodes.
///
/// One exporter serves one export. It reads the edit tree without changing it.
/// Its state lives in one ExportContext, created with the exporter and destroyed
/// with it; every visit below only forwards its node there.
class DmTreeExporter : public DmTreeVisitor {
public:
    /// Keeps the tree it builds under nodeStack().front().
    DmTreeExporter();
    /// Writes the document into `stream` while walking; the stream must outlive
    /// the walk.
    explicit DmTreeExporter(rapidotio::DocumentStream& stream);
    ~DmTreeExporter() override;

    DmTreeExporter(const DmTreeExporter&) = delete;
    DmTreeExporter& operator=(const DmTreeExporter&) = delete;

    /// Opens a Timeline and takes the composition's frame rate.
    void visitCompositionNode(DmCompositionNode* node) override;
    /// Opens a Stack.
    void visitTrackNode(DmTrackNode* node) override;
    /// Opens a Track.
    void visitLayerNode(DmLayerNode* node) override;
    /// Adds a Clip with its effects to the open Track.
    void visitSourceNode(DmSourceNode* node) override;
    /// Adds a Gap with its effects to the open Track.
    void visitGapNode(DmGapNode* node) override;
    /// Each closes the node opened by the matching visit.
    void endCompositionNode(DmCompositionNode* node) override;
    void endTrackNode(DmTrackNode* node) override;
    void endLayerNode(DmLayerNode* node) override;

    /// The open nodes, bottom first: the RootNode that holds every Timeline, then
    /// whatever is still open. After a complete walk only the RootNode is left.
    const std::vector<SharedPtr<rapidotio::Node>>& nodeStack() const;
    /// The export's state, for inspection.
    const ExportContext& context() const { return *m_context; }

private:
    ExportContext* m_context;
};

} // namespace ZEM_0_81::Json
