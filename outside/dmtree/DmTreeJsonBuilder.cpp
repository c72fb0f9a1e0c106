#include "outside/dmtree/DmTreeJsonBuilder.h"

#include "outside/dmtree/DmJsonKeys.h"
#include "outside/dmtree/DmTree.h"

#include <rapidjson/writer.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace DmJsonKeys;

namespace {

/// A RapidJSON output stream that collects the text into a std::string, which
/// generateStr then hands over without a copy. Characters gather in a small block
/// first, so each of the writer's one-character puts costs a store.
class TextOutput {
public:
    using Ch = char;

    explicit TextOutput(std::string& text) : m_text(text) {}

    void Put(char c) {
        if (m_next == sizeof m_block)
            Flush();
        m_block[m_next++] = c;
    }
    void Flush() {
        m_text.append(m_block, m_next);
        m_next = 0;
    }

private:
    std::string& m_text;
    std::size_t m_next = 0;
    char m_block[4096];
};

/// Why a tree cannot be written; caught by generateStr.
struct BuildError {
    std::string message;
};

/// Writes one tree member by member, in the fixed order that makes the output
/// deterministic. Every value of every object is written, unset ones as null.
class Builder {
public:
    explicit Builder(TextOutput& output) : m_writer(output) {}

    void document(const DmTreeNode& root) {
        m_writer.StartObject();
        text(kFormat, kFormatName);
        integer(kVersion, kFormatVersion);
        key(kTree);
        tree(root);
        m_writer.EndObject();
    }

private:
    [[noreturn]] static void fail(const std::string& message) { throw BuildError{message}; }

    // --- values ----------------------------------------------------------------

    void key(const char* name) { m_writer.Key(name); }

    void real(double value, const char* name) {
        // The dialect holds finite numbers only; JSON has no spelling for the others.
        if (!std::isfinite(value))
            fail(std::string("member \"") + name + "\" holds a non-finite number");
        m_writer.Double(value);
    }
    void real(const char* name, double value) {
        key(name);
        real(value, name);
    }
    void integer(const char* name, std::int32_t value) {
        key(name);
        m_writer.Int(value);
    }
    void count(const char* name, std::uint32_t value) {
        key(name);
        m_writer.Uint(value);
    }
    void boolean(const char* name, bool value) {
        key(name);
        m_writer.Bool(value);
    }
    void string(const DmString& value) {
        const std::string& bytes = value.str();
        if (bytes.size() > std::numeric_limits<rapidjson::SizeType>::max())
            fail("a text is too long to be written");
        m_writer.String(bytes.data(), static_cast<rapidjson::SizeType>(bytes.size()));
    }
    void text(const char* name, const DmString& value) {
        key(name);
        string(value);
    }

    void properties(const DmPropertySet& set) {
        const std::uint32_t count = set.getNbProperties();
        if (count == 0)
            return; // the one member left out when empty
        key(kProperties);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int32_t id = 0;
            eDmPropType type = eDmPropBool;
            set.getPropertyInfo(i, id, type);
            m_writer.StartArray();
            m_writer.Int(id);
            m_writer.Int(type);
            switch (type) {
            case eDmPropBool: {
                bool value = false;
                set.getPropertyValue(id, type, &value);
                m_writer.Bool(value);
                break;
            }
            case eDmPropInt32: {
                std::int32_t value = 0;
                set.getPropertyValue(id, type, &value);
                m_writer.Int(value);
                break;
            }
            case eDmPropFloat: {
                float value = 0.0f;
                set.getPropertyValue(id, type, &value);
                real(value, kProperties);
                break;
            }
            case eDmPropDouble: {
                double value = 0.0;
                set.getPropertyValue(id, type, &value);
                real(value, kProperties);
                break;
            }
            case eDmPropString: {
                DmString value;
                set.getPropertyValue(id, type, &value);
                string(value);
                break;
            }
            default:
                fail("a property has a type the dialect does not know");
            }
            m_writer.EndArray();
        }
        m_writer.EndArray();
    }

    // --- held objects ----------------------------------------------------------

    template <class T>
    void optionalReal(const char* name, eDmErrorId (DmFrameResolution::*get)(T&) const,
                      const DmFrameResolution& res) {
        key(name);
        T value{};
        if ((res.*get)(value) == eDmSuccess)
            real(static_cast<double>(value), name);
        else
            m_writer.Null();
    }

    void resolution(const char* name, const DmFrameResolution* res) {
        key(name);
        if (!res) {
            m_writer.Null();
            return;
        }
        m_writer.StartObject();
        properties(*res);
        optionalReal<double>(kCenterX, &DmFrameResolution::getCenterX, *res);
        optionalReal<double>(kCenterY, &DmFrameResolution::getCenterY, *res);
        optionalReal<double>(kSizeX, &DmFrameResolution::getSizeX, *res);
        optionalReal<double>(kSizeY, &DmFrameResolution::getSizeY, *res);
        std::int32_t pixels = 0;
        key(kWidth);
        if (res->getWidth(pixels) == eDmSuccess)
            m_writer.Int(pixels);
        else
            m_writer.Null();
        key(kHeight);
        if (res->getHeight(pixels) == eDmSuccess)
            m_writer.Int(pixels);
        else
            m_writer.Null();
        std::int32_t bits = 0;
        std::int32_t channels = 0;
        bool isFloat = false;
        bool flag = false;
        key(kDepth);
        if (res->getDepth(bits, channels, isFloat, flag) == eDmSuccess) {
            m_writer.StartObject();
            integer(kBits, bits);
            integer(kChannels, channels);
            boolean(kFloat, isFloat);
            boolean(kFlag, flag);
            m_writer.EndObject();
        } else {
            m_writer.Null();
        }
        optionalReal<float>(kFrameRatio, &DmFrameResolution::getFrameRatio, *res);
        m_writer.EndObject();
    }

    void audio(const DmAudioProperties* audio) {
        key(kAudio);
        if (!audio) {
            m_writer.Null();
            return;
        }
        m_writer.StartObject();
        properties(*audio);
        integer(kChannels, audio->getNbChannels());
        real(kSamplingRate, audio->getSamplingRate());
        m_writer.EndObject();
    }

    void sourceInfo(const DmSourceInfo* info) {
        key(kSourceInfo);
        if (!info) {
            m_writer.Null();
            return;
        }
        m_writer.StartObject();
        properties(*info);
        key(kSequences);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < info->getNbSequences(); ++i)
            string(info->getSequence(i));
        m_writer.EndArray();
        integer(kSourceType, info->getSourceType());
        integer(kFileType, info->getFileType());
        text(kPath, info->getPath());
        text(kOriginalSourceUID, info->getOriginalSourceUID());
        m_writer.EndObject();
    }

    void input(const DmSourceNode::Input& in) {
        const auto* media = dynamic_cast<const DmSourceNode::MediaInput*>(&in);
        if (!media)
            fail("a source input is of a kind the dialect does not know");
        m_writer.StartObject();
        text(kKind, kMedia);
        properties(in);
        real(kAvailIn, in.getAvailIn());
        real(kAvailLength, in.getAvailLength());
        text(kFcm, in.getFcm());
        integer(kMediaType, in.getMediaType());
        boolean(kFlag, in.getFlag());
        sourceInfo(in.getSrcInfo());
        resolution(kPrimaryRes, in.getPrimaryRes());
        audio(in.getAudioProperties().get());
        key(kExtraData);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < media->getNbExtraData(); ++i) {
            const DmSourceNode::DictionaryEntry* entry = media->getExtraData(i);
            m_writer.StartObject();
            properties(*entry);
            text(kKey, entry->getKey());
            text(kValue, entry->getValue());
            m_writer.EndObject();
        }
        m_writer.EndArray();
        m_writer.EndObject();
    }

    void simpleChannel(const DmSimpleChannel& channel) {
        m_writer.StartObject();
        properties(channel);
        text(kValue, channel.getValue());
        m_writer.EndObject();
    }

    void animationChannel(const DmAnimationChannel& channel) {
        m_writer.StartObject();
        properties(channel);
        integer(kInterpType, channel.getInterpType());
        integer(kExtrapolation, channel.getExtrapolationType());
        count(kVersion, channel.getVersion());
        real(kParameter, channel.getParameter());
        key(kKeyFrames);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < channel.getNbKeyFrames(); ++i) {
            const CoSharedPtr<DmKeyFrame> frame = channel.getKeyFrame(i);
            m_writer.StartObject();
            properties(*frame);
            real(kTime, frame->getTime());
            real(kValue, frame->getValue());
            integer(kMode, frame->getInterpMode());
            integer(kOrder, frame->getInterpOrder());
            key(kParameters);
            m_writer.StartArray();
            for (std::uint32_t p = 0; p < DmKeyFrame::kNbParameters; ++p)
                real(frame->getParameter(p), kParameters);
            m_writer.EndArray();
            count(kCount, frame->getCount());
            m_writer.EndObject();
        }
        m_writer.EndArray();
        m_writer.EndObject();
    }

    /// Writes "name":[{"id":..,"channel":..},..] for the ids of an id table.
    template <class Id, class Getter, class Write>
    void idTable(const char* name, const std::vector<Id>& ids, Getter get, Write write) {
        key(name);
        m_writer.StartArray();
        for (const Id id : ids) {
            m_writer.StartObject();
            integer(kId, id);
            key(kChannel);
            write(*get(id));
            m_writer.EndObject();
        }
        m_writer.EndArray();
    }

    void stroke(const DmStroke& stroke) {
        m_writer.StartObject();
        properties(stroke);
        key(kColor);
        float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        if (stroke.getColor(rgba[0], rgba[1], rgba[2], rgba[3])) {
            m_writer.StartArray();
            for (const float component : rgba)
                real(component, kColor);
            m_writer.EndArray();
        } else {
            m_writer.Null();
        }
        text(kType, stroke.getType());
        text(kBrush, stroke.getBrush());
        key(kPoints);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < stroke.getNbPoints(); ++i) {
            double x = 0.0;
            double y = 0.0;
            double size = 0.0;
            stroke.getPointData(i, x, y, size);
            m_writer.StartArray();
            real(x, kPoints);
            real(y, kPoints);
            real(size, kPoints);
            m_writer.EndArray();
        }
        m_writer.EndArray();
        m_writer.EndObject();
    }

    void paragraph(const DmTextParagraph& paragraph) {
        m_writer.StartObject();
        properties(paragraph);
        text(kText, paragraph.text);
        text(kFontName, paragraph.fontName);
        real(kWidth, paragraph.getWidth());
        idTable(
            kChannels, paragraph.getChannelIds(),
            [&](DmTextParagraph::ChannelId id) { return paragraph.getChannel(id); },
            [&](const DmAnimationChannel& c) { animationChannel(c); });
        idTable(
            kAttributs, paragraph.getAttributIds(),
            [&](DmTextParagraph::AttributId id) { return paragraph.getAttribut(id); },
            [&](const DmSimpleChannel& c) { simpleChannel(c); });
        m_writer.EndObject();
    }

    /// An effect or an annotation layer: kind, properties, mute, then its own values.
    void effect(const DmEffectSettings& fx) {
        m_writer.StartObject();
        if (const auto* comp = dynamic_cast<const DmCompSettings*>(&fx)) {
            text(kKind, kComp);
            properties(fx);
            boolean(kMuted, fx.isMuted());
            idTable(
                kAttributs, comp->getAttributIds(),
                [&](DmCompSettings::AttributId id) { return comp->getAttribut(id); },
                [&](const DmSimpleChannel& c) { simpleChannel(c); });
            idTable(
                kChannels, comp->getChannelIds(),
                [&](DmCompSettings::ChannelId id) { return comp->getChannel(id); },
                [&](const DmAnimationChannel& c) { animationChannel(c); });
        } else if (dynamic_cast<const DmAngularMaskSettings*>(&fx)) {
            text(kKind, kAngularMask);
            properties(fx);
            boolean(kMuted, fx.isMuted());
        } else if (const auto* look = dynamic_cast<const DmLookSettings*>(&fx)) {
            text(kKind, kLook);
            properties(fx);
            boolean(kMuted, fx.isMuted());
            triple(kSlope, look->slope);
            triple(kOffset, look->offset);
            triple(kPower, look->power);
            real(kSaturation, look->saturation);
        } else if (const auto* note = dynamic_cast<const DmAnnotationSettings*>(&fx)) {
            text(kKind, kAnnotation);
            properties(fx);
            boolean(kMuted, fx.isMuted());
            key(kLayers);
            m_writer.StartArray();
            for (std::uint32_t i = 0; i < note->getNbLayers(); ++i)
                effect(*note->getLayer(i));
            m_writer.EndArray();
        } else if (const auto* paint = dynamic_cast<const DmPaintLayer*>(&fx)) {
            text(kKind, kPaint);
            properties(fx);
            boolean(kMuted, fx.isMuted());
            layerValues(*paint);
            key(kStrokes);
            m_writer.StartArray();
            for (std::uint32_t i = 0; i < paint->getNbStrokes(); ++i)
                stroke(*paint->getStroke(i));
            m_writer.EndArray();
        } else if (const auto* textLayer = dynamic_cast<const DmTextLayer*>(&fx)) {
            text(kKind, kText);
            properties(fx);
            boolean(kMuted, fx.isMuted());
            layerValues(*textLayer);
            idTable(
                kChannels, textLayer->getChannelIds(),
                [&](DmTextLayer::ChannelId id) { return textLayer->getChannel(id); },
                [&](const DmAnimationChannel& c) { animationChannel(c); });
            key(kParagraphs);
            m_writer.StartArray();
            for (std::uint32_t i = 0; i < textLayer->getNbParagraphs(); ++i)
                paragraph(*textLayer->getParagraph(i));
            m_writer.EndArray();
        } else {
            fail(std::string("effect \"") + fx.getName() +
                 "\" is of a kind the dialect does not know");
        }
        m_writer.EndObject();
    }

    void triple(const char* name, const double (&values)[3]) {
        key(name);
        m_writer.StartArray();
        for (const double value : values)
            real(value, name);
        m_writer.EndArray();
    }

    void layerValues(const DmEffectLayer& layer) {
        integer(kStartFrame, layer.getStartFrame());
        count(kDuration, layer.getDuration());
        boolean(kHold, layer.isHold());
        boolean(kGhost, layer.isGhost());
        count(kGhostBefore, layer.getGhostBefore());
        count(kGhostAfter, layer.getGhostAfter());
    }

    // --- nodes -------------------------------------------------------------------

    void segmentValues(const DmSegmentNode& segment) {
        real(kRecIn, segment.getRecIn());
        real(kRecLength, segment.getRecLength());
        text(kSegmentId, segment.getSegmentId());
        integer(kMediaType, segment.getMediaType());
        key(kEffects);
        m_writer.StartArray();
        for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i)
            effect(*segment.getEffect(i));
        m_writer.EndArray();
    }

    /// Writes a tree node and everything below it. Each node is written in two
    /// parts around its children, and the nodes whose children are being written
    /// wait on a stack of their own, so nothing recurses per level. A node deeper
    /// than kMaxDepth (the top node at level 1) fails the write, as it always has.
    void tree(const DmTreeNode& top) {
        struct Open {
            const DmTreeNode* node;
            std::uint32_t next;
        };
        std::vector<Open> open;
        nodeHead(top);
        open.push_back(Open{&top, 0});
        while (!open.empty()) {
            Open& at = open.back();
            if (at.next < at.node->getNbChildren()) {
                const DmTreeNode* child = at.node->getChild(at.next++);
                if (child) {
                    if (open.size() + 1 > static_cast<std::size_t>(kMaxDepth))
                        fail("the tree is nested deeper than " + std::to_string(kMaxDepth) +
                             " levels");
                    nodeHead(*child); // may grow `open`: `at` is not used after this
                    open.push_back(Open{child, 0});
                }
                continue;
            }
            open.pop_back();
            m_writer.EndArray(); // children
            m_writer.EndObject();
        }
    }

    /// A node's object up to and including the opening of its children.
    void nodeHead(const DmTreeNode& n) {
        m_writer.StartObject();
        text(kKind, kindOf(n));
        text(kName, n.getName());
        properties(n);
        if (const auto* comp = dynamic_cast<const DmCompositionNode*>(&n)) {
            text(kFcm, comp->getFcm());
            real(kStartTC, comp->getStartTC());
            text(kStartTcFcm, comp->getStartTcFcm());
            real(kLength, comp->getCompLength());
            resolution(kResolution, comp->getResolution());
        } else if (const auto* track = dynamic_cast<const DmTrackNode*>(&n)) {
            integer(kIndex, track->getIndex());
            integer(kMediaType, track->getMediaType());
        } else if (const auto* layer = dynamic_cast<const DmLayerNode*>(&n)) {
            integer(kIndex, layer->getIndex());
            integer(kMediaType, layer->mediaType);
            integer(kParameter, layer->getParameter());
            boolean(kFirstLayer, layer->isFirstLayer());
            real(kStartTC, layer->getLayerStartTC());
            real(kLength, layer->getLayerLength());
        } else if (const auto* segment = dynamic_cast<const DmSegmentNode*>(&n)) {
            segmentValues(*segment);
            if (const auto* source = dynamic_cast<const DmSourceNode*>(segment)) {
                real(kRelIn, source->getRelIn());
                boolean(kFlag1, source->getFlag1());
                boolean(kFlag2, source->getFlag2());
                key(kInputs);
                m_writer.StartArray();
                for (std::uint32_t i = 0; i < source->getNbMultiInputs(); ++i)
                    input(*source->getMultiInput(i));
                m_writer.EndArray();
            }
        }
        key(kChildren);
        m_writer.StartArray();
    }

    static const char* kindOf(const DmTreeNode& n) {
        if (dynamic_cast<const DmRoot*>(&n))
            return kRoot;
        if (dynamic_cast<const DmReelNode*>(&n))
            return kReel;
        if (dynamic_cast<const DmCompositionNode*>(&n))
            return kComposition;
        if (dynamic_cast<const DmTrackNode*>(&n))
            return kTrack;
        if (dynamic_cast<const DmLayerNode*>(&n))
            return kLayer;
        if (dynamic_cast<const DmSourceNode*>(&n))
            return kSource;
        if (dynamic_cast<const DmGapNode*>(&n))
            return kGap;
        if (dynamic_cast<const DmCutNode*>(&n))
            return kCut;
        if (dynamic_cast<const DmContainerNode*>(&n))
            return kContainer;
        fail("a node is of a kind the dialect does not know");
    }

    rapidjson::Writer<TextOutput> m_writer;
};

} // namespace

DmStatus DmTreeJsonBuilder::generateStr(const DmTreeNode* node, DmString& out) {
    if (!node)
        return DmStatus::failure("no node to write");
    std::string text;
    try {
        TextOutput output(text);
        Builder(output).document(*node);
        output.Flush();
    } catch (const BuildError& error) {
        return DmStatus::failure(DmString(error.message));
    }
    out = DmString(std::move(text));
    return DmStatus();
}
