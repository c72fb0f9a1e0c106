#pragma once

#include "outside/core/SharedPtr.h"
#include "rapidotio/Node.h"

#include <string>
#include <vector>

class DmCompositionNode;
class DmGapNode;
class DmLayerNode;
class DmSourceNode;
class DmString;
class DmTrackNode;

namespace ZEM_0_81::rapidotio {
class DocumentStream;
}

namespace ZEM_0_81::Json {

/// The state of one OTIO export and the work of its visits. DmTreeExporter owns
/// exactly one context and forwards every edit-tree node it is shown to the
/// operation of the same purpose here; the context builds the rapidotio node
/// tree, which rapidotio::writeDocument then prints.
///
/// The bottom of `nodeStack` is a RootNode with an empty name, pushed by the
/// constructor and never popped, so the stack is never empty while the context
/// lives. Compositions, tracks and layers push their node and pop it when their
/// subtree ends; sources and gaps only append theirs to the top.
///
/// Given a DocumentStream, the context writes the document while the walk goes
/// instead of keeping the tree for writeDocument: an opened node's head is
/// written when it is pushed and its tail when it is popped, and a source's or
/// gap's node is written when it is appended and then let go, so the nodes of
/// the whole document never live at once.
struct ExportContext {
    /// Keeps the node tree under the RootNode.
    ExportContext();
    /// Writes the document into `stream` as the walk goes.
    explicit ExportContext(rapidotio::DocumentStream& stream);
    ~ExportContext();

    ExportContext(const ExportContext&) = delete;
    ExportContext& operator=(const ExportContext&) = delete;

    /// The open nodes; the top receives new children. Each entry holds a counted
    /// reference; a node also held by its parent lives on after it is popped.
    std::vector<SharedPtr<rapidotio::Node>> nodeStack;
    /// Frames per second of the composition visited last (0 until then, or when
    /// its frame-rate text is not understood).
    double compositionRate = 0;
    /// Frames per second of the source visited last.
    double sourceRate = 0;

    /// The stream written into, or null when the tree is kept.
    rapidotio::DocumentStream* stream = nullptr;

    /// Links `node`, complete with its subtree, under the top of the stack:
    /// parent pointer first, then a counted reference at the end of the top's
    /// children. When streaming, writes it instead of keeping it.
    void appendChild(const SharedPtr<rapidotio::Node>& node);
    /// Links `node` under the top of the stack and makes it the top; when
    /// streaming, writes its head.
    void push(const SharedPtr<rapidotio::Node>& node);
    /// Closes the top node (when streaming, writes its tail). The RootNode at the
    /// bottom is never popped, so an end call without its visit cannot empty the
    /// stack.
    void pop();

    /// Sets compositionRate from the start-timecode frame-rate text and opens a
    /// TimelineNode named after the composition, starting at its start timecode.
    void visitComposition(const DmCompositionNode& composition);
    /// Opens a StackNode with an empty name; nothing is read from the track.
    void visitTrack(const DmTrackNode& track);
    /// Opens a TrackNode named after the layer, of the layer's media kind.
    void visitLayer(const DmLayerNode& layer);
    /// Appends a GapNode lasting the gap's record length, with its effects.
    void visitGap(const DmGapNode& gap);
    /// Appends a ClipNode with the source's ranges, media description, metadata
    /// and effects, and sets sourceRate. A source without inputs adds nothing.
    void visitSource(const DmSourceNode& source);
};

/// The characters of an edit-tree text, up to its first NUL byte.
std::string textOf(const DmString& text);

/// The frames per second of a frame-rate text ("25", "23.976", "24000/1001",
/// ...). A text the core library does not understand gives the value of a
/// default Rational, 0.
double frameRateOf(const DmString& fcm);

} // namespace ZEM_0_81::Json
