// The timeline view: one walk of the edit tree that gathers a composition's
// layers with their clips and gaps as plain values.

#include "interchange/TimelineView.h"

#include "composition/Composition.h"
#include "interchange/TimelineSegments.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/timing/RecordTime.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmStroke.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"
#include "outside/dmtree/DmTrackNode.h"
#include "outside/dmtree/DmTreeIterator.h"
#include "outside/dmtree/DmTreeVisitor.h"
#include "rapidotio/DocumentMemory.h"
#include "json/EditTree.h"
#include "json/EffectExport.h"
#include "json/Narrowing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <utility>

namespace ZEM_0_81 {

namespace {

using Json::EditTree::isSetPosition;
using Json::EditTree::rateOf;
using namespace Interchange;

std::string textOf(const DmString& text) {
    return text.str();
}

bool isPositive(const Rational& rate) {
    return rate.getNumerator() > 0 && rate.getDenominator() != 0;
}

/// The source frames that `recordFrames` composition frames cover:
/// recordFrames x source rate / composition rate, exactly, in lowest terms.
/// The record frames themselves when the composition's rate is unknown, and 0
/// when the source's is (the OTIO export writes the same numbers).
FrameCount sourceFramesOf(std::int64_t recordFrames, const Rational& composition,
                          const Rational& source) {
    if (!isPositive(composition))
        return FrameCount{recordFrames, 1};
    if (!isPositive(source))
        return FrameCount{0, 1};

    // source.num x composition.den over source.den x composition.num; each factor
    // is below 2^32, so both products fit before they are reduced.
    std::int64_t scaleNumerator = static_cast<std::int64_t>(source.getNumerator()) *
                                  static_cast<std::int64_t>(composition.getDenominator());
    std::int64_t denominator = static_cast<std::int64_t>(source.getDenominator()) *
                               static_cast<std::int64_t>(composition.getNumerator());
    std::int64_t divisor = std::gcd(scaleNumerator, denominator);
    scaleNumerator /= divisor;
    denominator /= divisor;
    std::int64_t frames = recordFrames;
    divisor = std::gcd(frames, denominator);
    if (divisor > 1) {
        frames /= divisor;
        denominator /= divisor;
    }
    std::int64_t numerator; // the product, wrapped when it overflows
    if (!__builtin_mul_overflow(frames, scaleNumerator, &numerator))
        return FrameCount{numerator, denominator};
    // Beyond 2^63 frames nothing exact can be said; keep the nearest whole count.
    const double approximate = static_cast<double>(frames) * static_cast<double>(scaleNumerator) /
                               static_cast<double>(denominator);
    return FrameCount{Json::truncateToInt64(std::round(approximate)), 1};
}

/// Where an annotation layer shows: its own frame range when it has one, else
/// the range of the segment it is on.
std::pair<FrameRange, bool> rangeOf(const DmEffectLayer& layer, const FrameRange& segment) {
    if (layer.getDuration() == 0)
        return {segment, false};
    return {FrameRange{layer.getStartFrame(), static_cast<std::int64_t>(layer.getDuration())},
            true};
}

float channelValue(const DmTextParagraph& paragraph, DmTextParagraph::ChannelId id,
                   double fallback) {
    // Key values are floats widened to double, so narrowing them back is exact.
    return static_cast<float>(Json::firstKeyValue(paragraph.getChannel(id), fallback));
}

void addAnnotation(const DmAnnotationSettings& annotation, TimelineItem& item) {
    const bool annotationShown = !annotation.isMuted();
    for (std::uint32_t l = 0; l < annotation.getNbLayers(); ++l) {
        const DmEffectLayer* layer = annotation.getLayer(l);
        if (!layer)
            continue;
        const auto [range, ownRange] = rangeOf(*layer, item.record);
        const bool visible = annotationShown && !layer->isMuted();

        if (const auto* paintLayer = dynamic_cast<const DmPaintLayer*>(layer)) {
            TimelinePaint paint;
            paint.range = range;
            paint.ownRange = ownRange;
            paint.visible = visible;
            for (std::uint32_t s = 0; s < paintLayer->getNbStrokes(); ++s) {
                const DmStroke* stroke = paintLayer->getStroke(s);
                if (!stroke)
                    continue;
                ++paint.strokes;
                paint.points += stroke->getNbPoints();
            }
            item.paint.push_back(paint);
        } else if (const auto* textLayer = dynamic_cast<const DmTextLayer*>(layer)) {
            for (std::uint32_t p = 0; p < textLayer->getNbParagraphs(); ++p) {
                const DmTextParagraph* paragraph = textLayer->getParagraph(p);
                if (!paragraph)
                    continue;
                TimelineNote note;
                note.text = textOf(paragraph->text);
                note.range = range;
                note.ownRange = ownRange;
                note.visible = visible;
                note.colour.red = channelValue(*paragraph, DmTextParagraph::kColorRed, 0.0);
                note.colour.green = channelValue(*paragraph, DmTextParagraph::kColorGreen, 0.0);
                note.colour.blue = channelValue(*paragraph, DmTextParagraph::kColorBlue, 0.0);
                note.colour.alpha = channelValue(*paragraph, DmTextParagraph::kColorAlpha, 1.0);
                item.notes.push_back(std::move(note));
            }
        }
    }
}

/// The segment's effects in its order, with the notes and paint of its
/// annotations. Kinds are told apart in the order the OTIO export tries them.
void addEffects(const DmSegmentNode& segment, TimelineItem& item) {
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* settings = segment.getEffect(i);
        if (!settings)
            continue;
        TimelineEffect effect;
        effect.kind = static_cast<TimelineEffect::Kind>(Json::EditTree::effectKindOf(*settings));
        // Compositing is always written visible.
        effect.muted = effect.kind != TimelineEffect::Kind::Comp && settings->isMuted();
        if (effect.kind == TimelineEffect::Kind::Annotation)
            addAnnotation(static_cast<const DmAnnotationSettings&>(*settings), item);
        effect.name = effect.kind == TimelineEffect::Kind::Other
                          ? std::string(settings->getName())
                          : std::string(TimelineEffect::kindName(effect.kind));
        item.effects.push_back(std::move(effect));
    }
}

// The time effects another tool gives an item, as OTIO names them, which the
// edit tree keeps among an item's leftovers (ForeignMembers::Leftovers).
constexpr const char* kLinearTimeWarpType = "LinearTimeWarp";
constexpr const char* kFreezeFrameType = "FreezeFrame";
constexpr const char* kTimeScalarMember = "time_scalar";

/// The speed and the switch another tool gave `segment`, which the edit tree
/// keeps but does not play (see TimelineItem::speed and enabled).
void addKeptPlayback(const DmSegmentNode& segment, TimelineItem& item) {
    item.enabled = ForeignMembers::Leftovers::enabled(segment);
    rapidotio::Document document;
    const Value* effects = ForeignMembers::Leftovers::effects(segment, document);
    if (!effects)
        return;
    for (const Value& effect : effects->GetArray()) {
        // "LinearTimeWarp.1": the type is what comes before the version.
        const std::string schema = KeptObjects::schemaOf(effect);
        const std::size_t dot = schema.rfind('.');
        if (dot == std::string::npos)
            continue;
        const std::string type = schema.substr(0, dot);
        if (type == kFreezeFrameType) {
            item.speed = 0.0;
        } else if (type == kLinearTimeWarpType) {
            const Value* scalar = KeptObjects::memberOf(effect, kTimeScalarMember);
            if (scalar && scalar->IsNumber() && std::isfinite(scalar->GetDouble()))
                item.speed *= scalar->GetDouble();
        }
    }
}

TimelineMedia::Kind mediaKindOf(const DmSourceInfo& info) {
    if (info.getSourceType() == DmSourceInfo::kSourceTypeMovie)
        return TimelineMedia::Kind::Mp4;
    if (info.getSourceType() == DmSourceInfo::kSourceTypeFile) {
        if (info.getFileType() == DmSourceInfo::kFileTypeFile)
            return TimelineMedia::Kind::File;
        if (info.getFileType() == DmSourceInfo::kFileTypeMovie)
            return TimelineMedia::Kind::Movie;
    }
    return TimelineMedia::Kind::Other;
}

/// Reads the transitions the edit tree keeps on a layer or a segment, as kept
/// JSON objects of standard OTIO's "Transition.1".
class TransitionReader {
public:
    explicit TransitionReader(const DmCompositionNode* composition)
        : m_rate(composition ? RecordTime::rateOf(composition->getFcm()) : 0.0) {}

    /// Appends to `track` the transitions kept on `object`, at `cut`.
    void add(const DmPropertySet& object, double cut, TimelineTrack& track) const {
        rapidotio::Document document;
        const Value* kept = ForeignMembers::KeptTransitions::kept(object, document);
        if (!kept)
            return;
        for (const Value& transition : kept->GetArray()) {
            if (!transition.IsObject())
                continue;
            TimelineTransition found;
            found.cut = bounded(Json::truncateToInt64(cut), kCutBound);
            found.inOffset = offset(transition, KeptObjects::kInOffset);
            found.outOffset = offset(transition, KeptObjects::kOutOffset);
            found.name = textOf(transition, KeptObjects::kName);
            found.type = textOf(transition, KeptObjects::kTransitionType);
            track.transitions.push_back(std::move(found));
        }
    }

private:
    /// A member of a kept transition as text; empty when it is not a string.
    static std::string textOf(const Value& transition, const char* key) {
        const Value* member = KeptObjects::memberOf(transition, key);
        return member && member->IsString()
                   ? std::string(member->GetString(), member->GetStringLength())
                   : std::string();
    }

    /// Member `key` of `transition`, a time, in frames at the composition's rate.
    std::int64_t offset(const Value& transition, const char* key) const {
        RationalTime time = kZeroTime;
        if (!KeptObjects::timeOf(KeptObjects::memberOf(transition, key), time))
            return 0;
        return bounded(
            Json::truncateToInt64(std::round(RecordTime::rescale(time.value, time.rate, m_rate))),
            kOffsetBound);
    }

    // A cut and its offsets add up without overflow: far beyond any timeline.
    static constexpr std::int64_t kCutBound = std::int64_t(1) << 62;
    static constexpr std::int64_t kOffsetBound = std::int64_t(1) << 53;
    static std::int64_t bounded(std::int64_t value, std::int64_t bound) {
        return std::clamp(value, -bound, bound);
    }

    double m_rate;
};

/// Walks the edit tree once; the layers of the chosen composition node become
/// tracks, and the sources and gaps met inside a layer become its items (and,
/// when `segments` is given, its segments).
class ViewBuilder : public DmTreeVisitor {
public:
    ViewBuilder(const DmCompositionNode* composition, TimelineView& view,
                TimelineSegments* segments)
        : DmTreeVisitor("TimelineView builder"), m_composition(composition), m_view(view),
          m_segments(segments) {}

    void visitCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = true;
    }
    void endCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = false;
    }
    void visitTrackNode(DmTrackNode*) override {
        if (m_inComposition)
            ++m_stacks;
    }
    void endTrackNode(DmTrackNode*) override {}
    void visitLayerNode(DmLayerNode* layer) override {
        if (!m_inComposition || !layer)
            return;
        TimelineTrack track;
        track.name = textOf(layer->getName());
        track.kind =
            static_cast<TimelineTrack::Kind>(Json::EditTree::trackKindOf(layer->mediaType));
        track.stack = m_stacks > 0 ? m_stacks - 1 : 0;
        m_view.tracks.push_back(std::move(track));
        // A layer without segments ends where it starts.
        m_openLayers.push_back(OpenLayer{m_view.tracks.size() - 1, layer->getLayerStartTC()});
        if (m_segments)
            m_segments->emplace_back();
    }
    void endLayerNode(DmLayerNode* layer) override {
        if (!m_inComposition || m_openLayers.empty())
            return;
        // Those kept after the layer's last item sit at its end.
        if (layer)
            m_transitions.add(*layer, m_openLayers.back().end, *currentTrack());
        m_openLayers.pop_back();
    }

    void visitSourceNode(DmSourceNode* source) override {
        TimelineTrack* track = currentTrack();
        if (!track || !source)
            return;
        TimelineItem item = segmentItem(*source, TimelineItem::Kind::Clip);
        addSource(*source, item);
        addEffects(*source, item);
        track->items.push_back(std::move(item));
        placeSegment(*source, *track);
    }

    void visitGapNode(DmGapNode* gap) override {
        TimelineTrack* track = currentTrack();
        if (!track || !gap)
            return;
        TimelineItem item = segmentItem(*gap, TimelineItem::Kind::Gap);
        item.source.start = 0;
        item.source.duration = FrameCount{item.record.duration, 1};
        item.source.rate = m_view.rate;
        addEffects(*gap, item);
        track->items.push_back(std::move(item));
        placeSegment(*gap, *track);
    }

private:
    struct OpenLayer {
        std::size_t track; ///< index into m_view.tracks
        double end;        ///< where its last segment so far ends
    };

    /// The track of the innermost open layer of the composition, or null.
    TimelineTrack* currentTrack() {
        if (!m_inComposition || m_openLayers.empty())
            return nullptr;
        return &m_view.tracks[m_openLayers.back().track];
    }

    /// Records the segment of the item just added to `track`, and the
    /// transitions kept on it, which lead into it at its record-in.
    void placeSegment(DmSegmentNode& segment, TimelineTrack& track) {
        if (m_segments)
            (*m_segments)[m_openLayers.back().track].push_back(&segment);
        m_transitions.add(segment, segment.getRecIn(), track);
        m_openLayers.back().end = segment.getRecIn() + segment.getRecLength();
    }

    static TimelineItem segmentItem(const DmSegmentNode& segment, TimelineItem::Kind kind) {
        TimelineItem item;
        item.kind = kind;
        item.name = textOf(segment.getName());
        item.record.start = Json::truncateToInt64(segment.getRecIn());
        item.record.duration = Json::truncateToInt64(segment.getRecLength());
        item.reel = ForeignMembers::reelOf(segment);
        addKeptPlayback(segment, item);
        return item;
    }

    void addSource(const DmSourceNode& source, TimelineItem& item) const {
        item.clipId = textOf(source.getSegmentId());
        const DmSourceNode::Input* primary = source.getInput();
        item.source.rate = primary ? rateOf(primary->getFcm()) : Rational(0, 1);
        const double srcIn = source.getSrcIn();
        const double relIn = source.getRelIn();
        if (isSetPosition(srcIn) && isSetPosition(relIn))
            item.source.start = Json::truncateToInt64(relIn + srcIn);
        item.source.duration = sourceFramesOf(item.record.duration, m_view.rate, item.source.rate);

        bool anyPath = false;
        for (std::uint32_t i = 0; i < source.getNbMultiInputs(); ++i) {
            const DmSourceNode::Input* input = source.getMultiInput(i);
            if (!input)
                continue;
            TimelineMedia media;
            if (const DmSourceInfo* info = input->getSrcInfo()) {
                media.kind = mediaKindOf(*info);
                media.path = textOf(info->getSequence(0));
                media.folder = textOf(info->getPath());
                if (i == 0)
                    item.targetUrl = media.path;
            }
            if (isSetPosition(input->getAvailIn()))
                media.availableStart = Json::truncateToInt64(input->getAvailIn());
            media.availableDuration = Json::truncateToInt64(input->getAvailLength());
            media.rate = rateOf(input->getFcm());
            anyPath = anyPath || !media.path.empty();
            item.media.push_back(std::move(media));
        }
        item.offline = !anyPath;
    }

    const DmCompositionNode* m_composition;
    TimelineView& m_view;
    TimelineSegments* m_segments;
    bool m_inComposition = false;
    std::int32_t m_stacks = 0;
    std::vector<OpenLayer> m_openLayers;
    TransitionReader m_transitions{m_composition};
};

/// See TimelineView::pictureRate.
Rational pictureRateOf(const TimelineView& view) {
    if (!TimelineView::isSampleRate(view.rate))
        return view.rate;
    const Rational* anyTrack = nullptr;
    for (const TimelineTrack& track : view.tracks)
        for (const TimelineItem& item : track.items) {
            const Rational& source = item.source.rate;
            if (!item.isClip() || !isPositive(source) || TimelineView::isSampleRate(source))
                continue;
            if (track.kind == TimelineTrack::Kind::Video)
                return source;
            if (!anyTrack)
                anyTrack = &source;
        }
    return anyTrack ? *anyTrack : view.rate;
}

// The view's kinds are the edit tree's, in the same order.
static_assert(static_cast<int>(TimelineTrack::Kind::Video) == rapidotio::Video &&
              static_cast<int>(TimelineTrack::Kind::Audio) == rapidotio::Audio &&
              static_cast<int>(TimelineTrack::Kind::None) == rapidotio::None);
constexpr bool sameEffectKind(TimelineEffect::Kind view, Json::EditTree::EffectKind tree) {
    return static_cast<int>(view) == static_cast<int>(tree);
}
static_assert(sameEffectKind(TimelineEffect::Kind::Comp, Json::EditTree::EffectKind::Comp) &&
              sameEffectKind(TimelineEffect::Kind::AngularMask,
                             Json::EditTree::EffectKind::AngularMask) &&
              sameEffectKind(TimelineEffect::Kind::Look, Json::EditTree::EffectKind::Look) &&
              sameEffectKind(TimelineEffect::Kind::Annotation,
                             Json::EditTree::EffectKind::Annotation) &&
              sameEffectKind(TimelineEffect::Kind::Other, Json::EditTree::EffectKind::Other));

/// The view of `root` and, when `segments` is given, the segments of its items.
void buildView(DmRoot& root, TimelineView& view, TimelineSegments* segments) {
    TimelineView result;
    TimelineSegments found;
    const DmCompositionNode* composition = Json::EditTree::firstComposition(root);
    if (composition) {
        result.hasTimeline = true;
        result.name = textOf(composition->getName());
        result.rate = rateOf(composition->getStartTcFcm());
        // The same readings as getStartTime and getDuration.
        result.start = Json::truncateToInt64(composition->getStartTC());
        result.duration =
            static_cast<std::int64_t>(Json::truncateToUint32(composition->getCompLength()));

        ViewBuilder builder(composition, result, segments ? &found : nullptr);
        DmPreIt walk(&root, &builder);
        walk.traverse();
        result.pictureRate = pictureRateOf(result);
    }
    view = std::move(result);
    if (segments)
        *segments = std::move(found);
}

} // namespace

Status TimelineView::build(const DmRoot& root, TimelineView& view) {
    // The walk only reads; the iterator's counted references come and go.
    buildView(const_cast<DmRoot&>(root), view, nullptr);
    return Status();
}

Status buildTimeline(DmRoot& root, TimelineView& view, TimelineSegments& segments) {
    buildView(root, view, &segments);
    return Status();
}

bool TimelineView::isSampleRate(const Rational& rate) {
    return isPositive(rate) && static_cast<std::int64_t>(rate.getNumerator()) >
                                   std::int64_t(1000) * rate.getDenominator();
}

Status TimelineView::build(const Composition& composition, TimelineView& view) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return status;
    return build(root, view);
}

} // namespace ZEM_0_81
