#include "interchange/StandardOtio.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/io/JsonInput.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/kept/ForeignMembers.h"
#include "interchange/otiostd/schemas/DocumentSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "interchange/otiostd/timing/OtioTiming.h"
#include "interchange/otiostd/timing/RecordTime.h"
#include "json/Narrowing.h"

#include "composition/CompositionImpl.h"
#include "outside/dmtree/DmTree.h"
#include "rapidotio/DocumentMemory.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>

namespace ZEM_0_81 {

namespace {

Status failed(const Json::Exception& failure, String* message) {
    if (message)
        *message = String(failure.what());
    return Json::statusFromException(failure);
}

/// A member of a kept transition as text; empty when it is not a string.
std::string textOf(const Interchange::Value& transition, const char* key) {
    const Interchange::Value* member = Interchange::OtioTiming::memberOf(transition, key);
    return member && member->IsString()
               ? std::string(member->GetString(), member->GetStringLength())
               : std::string();
}

/// Collects the transitions kept on the layers of one composition node and on
/// their segments, numbering the layers as TimelineView numbers its tracks.
class TransitionCollector : public DmTreeVisitor {
public:
    TransitionCollector(const DmCompositionNode& composition,
                        std::vector<StandardOtio::Transition>& out)
        : DmTreeVisitor("OTIO transitions"), m_composition(&composition),
          m_rate(Interchange::RecordTime::rateOf(composition.getFcm())), m_out(out) {}

    void visitCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = true;
    }
    void endCompositionNode(DmCompositionNode* node) override {
        if (node == m_composition)
            m_inComposition = false;
    }
    void endTrackNode(DmTrackNode*) override {}
    void visitLayerNode(DmLayerNode* layer) override {
        // A layer without segments ends where it starts.
        if (m_inComposition)
            m_openLayers.push_back(OpenLayer{m_layers++, layer ? layer->getLayerStartTC() : 0.0});
    }
    void endLayerNode(DmLayerNode* layer) override {
        if (!m_inComposition || m_openLayers.empty())
            return;
        // Those after the layer's last item sit at its end.
        if (layer)
            add(*layer, m_openLayers.back().end);
        m_openLayers.pop_back();
    }
    void visitSourceNode(DmSourceNode* source) override { visitSegment(source); }
    void visitGapNode(DmGapNode* gap) override { visitSegment(gap); }

private:
    struct OpenLayer {
        std::size_t index; ///< the layer's track in TimelineView
        double end;        ///< where its last segment so far ends
    };

    void visitSegment(DmSegmentNode* segment) {
        if (!m_inComposition || m_openLayers.empty() || !segment)
            return;
        // Those kept on a segment lead into it.
        add(*segment, segment->getRecIn());
        m_openLayers.back().end = segment->getRecIn() + segment->getRecLength();
    }

    void add(const DmPropertySet& object, double cut) {
        rapidotio::Document document;
        const Interchange::Value* kept =
            Interchange::ForeignMembers::KeptTransitions::kept(object, document);
        if (!kept)
            return;
        for (const Interchange::Value& transition : kept->GetArray()) {
            if (!transition.IsObject())
                continue;
            StandardOtio::Transition found;
            found.track = m_openLayers.back().index;
            found.cut = bounded(Json::truncateToInt64(cut), kCutBound);
            found.inOffset = offset(transition, Interchange::OtioTiming::kInOffset);
            found.outOffset = offset(transition, Interchange::OtioTiming::kOutOffset);
            found.name = textOf(transition, Interchange::SchemaMembers::kName);
            found.type = textOf(transition, Interchange::OtioTiming::kTransitionType);
            m_out.push_back(std::move(found));
        }
    }

    /// Member `key` of `transition`, a time, in frames at the composition's rate.
    std::int64_t offset(const Interchange::Value& transition, const char* key) const {
        Interchange::RationalTime time;
        if (!Interchange::OtioTiming::timeOf(Interchange::OtioTiming::memberOf(transition, key),
                                             time))
            return 0;
        return bounded(Json::truncateToInt64(std::round(
                           Interchange::RecordTime::rescale(time.value, time.rate, m_rate))),
                       kOffsetBound);
    }

    // A cut and its offsets add up without overflow: far beyond any timeline.
    static constexpr std::int64_t kCutBound = std::int64_t(1) << 62;
    static constexpr std::int64_t kOffsetBound = std::int64_t(1) << 53;
    static std::int64_t bounded(std::int64_t value, std::int64_t bound) {
        return std::clamp(value, -bound, bound);
    }

    const DmCompositionNode* m_composition;
    double m_rate;
    std::vector<StandardOtio::Transition>& m_out;
    bool m_inComposition = false;
    std::size_t m_layers = 0;
    std::vector<OpenLayer> m_openLayers;
};

} // namespace

Status StandardOtio::write(const Composition& composition, String& out, String* message) {
    return write(composition, WriteOptions(), out, message);
}

Status StandardOtio::write(const Composition& composition, const WriteOptions& options, String& out,
                           String* message) {
    if (options.losses)
        options.losses->clear();
    if (options.version && *otioVersionName(*options.version) == '\0') {
        if (message)
            *message = String("no OpenTimelineIO release has that version");
        return Status(Status::JsonGenerationFailed);
    }
    Status status;
    const DmRoot& tree = composition.getTree(status);
    if (!status) {
        if (message)
            *message = String((std::string("the composition has no edit tree to write: ") +
                               status.getDescription())
                                  .c_str());
        return status;
    }
    try {
        Interchange::OtioWriter writer(options.version.value_or(kCurrentOtioVersion),
                                       options.version.has_value(), options.losses);
        Interchange::DocumentSchema::write(writer, tree);
        out = writer.takeText();
        return Status();
    } catch (const Json::Exception& failure) {
        return failed(failure, message);
    }
}

Status StandardOtio::read(const char* text, std::size_t length, const String& id,
                          SharedPtr<Composition>& out, LossReport& losses, String* message) {
    losses.clear();
    try {
        CoSharedPtr<DmRoot> root;
        {
            // The document is read once, front to back: what the readers have
            // left of it is handed back as the edit tree grows, and the rest goes
            // before the composition takes the tree over.
            rapidotio::DocumentMemory memory;
            rapidotio::Document document(&memory.allocator());
            Interchange::parseInput(text, length, document);
            Interchange::ReadContext context(losses, &memory);
            root = Interchange::DocumentSchema::read(context, document);
        }
        out = adoptTree(id, root.get());
        return Status();
    } catch (const Json::Exception& failure) {
        return failed(failure, message);
    }
}

Status StandardOtio::transitions(const Composition& composition, std::vector<Transition>& out) {
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return status;
    std::vector<Transition> found;
    // The composition TimelineView shows: the first of the first reel.
    const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(0));
    const auto* node = reel ? dynamic_cast<const DmCompositionNode*>(reel->getChild(0)) : nullptr;
    if (node) {
        TransitionCollector collector(*node, found);
        // The walk only reads; the iterator's counted references come and go.
        DmPreIt walk(const_cast<DmRoot*>(&root), &collector);
        walk.traverse();
        std::stable_sort(found.begin(), found.end(), [](const Transition& a, const Transition& b) {
            return a.track < b.track;
        });
    }
    out = std::move(found);
    return Status();
}

} // namespace ZEM_0_81
