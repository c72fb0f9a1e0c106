// The output-bounds query: the picture area a composition covers at one frame.

#include "composition/Composition.h"

#include "composition/CompositionImpl.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmStroke.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "outside/dmtree/DmTreeVisitor.h"

#include <cstdint>

namespace ZEM_0_81 {

namespace {

/// Walks an edit tree and gathers the bounds at one frame: the union of the
/// primary resolutions of the sources covering the frame, grown by the points of
/// the paint strokes shown then. Strokes of a source count whenever their layer is
/// shown; strokes of a gap only when the gap covers the frame, and then only for
/// the last covering gap of a track, at the end of that track. The first failure
/// (a covering source without input or without resolution) stops all further
/// gathering; the walk still runs to its end.
class OutputBoundsCalculator : public DmTreeVisitor {
public:
    OutputBoundsCalculator(Bounds& result, std::int64_t frame)
        : DmTreeVisitor("OutputBoundsCalculator"), bounds(&result), queryTime(frame) {}
    ~OutputBoundsCalculator() override = default;

    void visitSourceNode(DmSourceNode* source) override;
    void visitGapNode(DmGapNode* gap) override;
    void endCompositionNode(DmCompositionNode*) override {}
    void endTrackNode(DmTrackNode*) override;
    void endLayerNode(DmLayerNode*) override {}

    Bounds* bounds;                  ///< the caller's result, written in place
    bool firstSourceSeen = false;    ///< a covering source has set `bounds`
    std::int64_t queryTime;          ///< the frame asked for
    Status status;                   ///< the walk's result
    DmGapNode* pendingGap = nullptr; ///< last covering gap of the track; not owned

private:
    /// True when `segment` plays the query frame: from its record-in through
    /// record-in plus length minus one.
    bool coversTime(const DmSegmentNode& segment) const;
    /// Grows `bounds` by the shown paint strokes of the segment's annotation.
    void addAnnotationBounds(const DmSegmentNode& segment);
};

/// Copies centre and size of `resolution` into `target`; unset values read as 0.
void setBoundsFromResolution(const DmFrameResolution& resolution, Bounds& target) {
    double centerX = 0.0;
    double centerY = 0.0;
    double sizeX = 0.0;
    double sizeY = 0.0;
    resolution.getCenterX(centerX);
    resolution.getCenterY(centerY);
    resolution.getSizeX(sizeX);
    resolution.getSizeY(sizeY);
    target.setCenterX(centerX);
    target.setCenterY(centerY);
    target.setSizeX(sizeX);
    target.setSizeY(sizeY);
}

bool OutputBoundsCalculator::coversTime(const DmSegmentNode& segment) const {
    const double time = static_cast<double>(queryTime);
    const double in = segment.getRecIn();
    return time >= in && in + segment.getRecLength() - 1.0 >= time;
}

void OutputBoundsCalculator::visitSourceNode(DmSourceNode* source) {
    if (!status || !source)
        return;
    if (coversTime(*source)) {
        const CoSharedPtr<DmSourceNode::Input> input(source->getInput());
        const DmFrameResolution* resolution = input ? input->getPrimaryRes() : nullptr;
        if (!input) {
            status.set(Status::SourceWithoutInput);
        } else if (!resolution) {
            status.set(Status::InputWithoutResolution);
        } else if (!firstSourceSeen) {
            // The first covering source replaces whatever annotations grew before.
            firstSourceSeen = true;
            setBoundsFromResolution(*resolution, *bounds);
        } else {
            Bounds area;
            setBoundsFromResolution(*resolution, area);
            bounds->grow(area);
        }
    }
    if (status)
        addAnnotationBounds(*source);
}

void OutputBoundsCalculator::visitGapNode(DmGapNode* gap) {
    if (status && gap && coversTime(*gap))
        pendingGap = gap;
}

void OutputBoundsCalculator::endTrackNode(DmTrackNode*) {
    if (status && pendingGap)
        addAnnotationBounds(*pendingGap);
    pendingGap = nullptr;
}

void OutputBoundsCalculator::addAnnotationBounds(const DmSegmentNode& segment) {
    const auto* annotation =
        dynamic_cast<const DmAnnotationSettings*>(segment.getEffectByName("DmAnnotationSettings"));
    if (!annotation)
        return;
    for (std::uint32_t l = 0; l < annotation->getNbLayers(); ++l) {
        const auto* paint = dynamic_cast<const DmPaintLayer*>(annotation->getLayer(l));
        if (!paint)
            continue; // text layers do not count
        for (std::uint32_t s = 0; s < paint->getNbStrokes(); ++s) {
            const DmStroke* stroke = paint->getStroke(s);
            if (!stroke)
                continue;
            // The layer shows from its start frame through start - 1 + duration,
            // that sum taken in 32 bits and read as signed.
            const std::int32_t first = paint->getStartFrame();
            const auto last = static_cast<std::int32_t>(static_cast<std::uint32_t>(first) - 1u +
                                                        paint->getDuration());
            if (first > queryTime || queryTime > last)
                continue;
            for (std::uint32_t p = 0; p < stroke->getNbPoints(); ++p) {
                double x = 0.0;
                double y = 0.0;
                double size = 0.0;
                stroke->getPointData(p, x, y, size);
                bounds->grow(Bounds(x, y, size, size));
            }
        }
    }
}

} // namespace

Status Composition::getOutputBounds(const Time& time, Bounds& bounds) const {
    Status status;
    const DmRoot* root = m_impl->ensureTree(status);
    if (!status)
        return status;

    // The walk runs on a private copy, never on the tree a caller may hold.
    const CoSharedPtr<DmPropertySet> copy = root ? root->clone() : CoSharedPtr<DmPropertySet>();
    auto* copiedRoot = dynamic_cast<DmRoot*>(copy.get());
    if (!copiedRoot)
        return Status(Status::NoData);

    OutputBoundsCalculator calculator(bounds, time.getNbTicks());
    bounds = Bounds(0.0, 0.0, 0.0, 0.0);
    DmPreIt walk(copiedRoot, &calculator);
    walk.traverse();
    return calculator.status;
}

} // namespace ZEM_0_81
