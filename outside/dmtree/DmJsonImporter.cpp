#include "outside/dmtree/DmJsonImporter.h"

#include "outside/dmtree/DmJsonKeys.h"
#include "outside/dmtree/DmTree.h"

#include "strictjson/StrictParse.h"

#include <rapidjson/document.h>

#include <cfloat>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace DmJsonKeys;

namespace {

/// Why a document cannot be read; caught by the importer's entry points.
struct ShapeError {
    std::string message;
};

using Value = rapidjson::Value;

/// Builds objects from a parsed document. Every value is type-checked before it is
/// read, so no document can trip RapidJSON's own checks. Every object made is held
/// by a CoSharedPtr from the moment it exists, so a failure part-way through
/// releases all of them. Messages name the place of the fault, e.g.
/// "tree.children[0].effects[1].muted: expected true or false".
class Reader {
public:
    CoSharedPtr<DmTreeNode> document(const Value& doc) {
        requireObject(doc, nullptr);
        if (text(doc, kFormat) != DmString(kFormatName))
            fail(kFormat, std::string("expected \"") + kFormatName + "\"");
        if (integer(doc, kVersion) != kFormatVersion)
            fail(kVersion, "unsupported version (expected " + std::to_string(kFormatVersion) + ")");
        Step step(*this, kTree);
        return tree(member(doc, kTree));
    }

private:
    /// Extends the place named in messages for the lifetime of the step.
    class Step {
    public:
        Step(Reader& reader, const char* name) : m_reader(reader), m_size(reader.m_path.size()) {
            reader.append(name);
        }
        Step(Reader& reader, const char* name, rapidjson::SizeType index) : Step(reader, name) {
            reader.m_path += "[" + std::to_string(index) + "]";
        }
        ~Step() { m_reader.m_path.resize(m_size); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        Reader& m_reader;
        std::size_t m_size;
    };

    void append(const char* name) {
        if (!m_path.empty())
            m_path += '.';
        m_path += name;
    }

    [[noreturn]] void fail(const char* name, const std::string& what) const {
        std::string where = m_path;
        if (name) {
            if (!where.empty())
                where += '.';
            where += name;
        }
        throw ShapeError{(where.empty() ? std::string("document") : where) + ": " + what};
    }

    // --- values ----------------------------------------------------------------

    void requireObject(const Value& value, const char* name) const {
        if (!value.IsObject())
            fail(name, "expected an object");
    }

    const Value& member(const Value& object, const char* name) const {
        const auto found = object.FindMember(name);
        if (found == object.MemberEnd())
            fail(name, "missing member");
        return found->value;
    }

    const Value& object(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        requireObject(value, name);
        return value;
    }

    /// Null for a JSON null, else the object.
    const Value* objectOrNull(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        if (value.IsNull())
            return nullptr;
        requireObject(value, name);
        return &value;
    }

    const Value& array(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        if (!value.IsArray())
            fail(name, "expected an array");
        return value;
    }

    /// Calls `read` on each item of the array member `name`, naming the item in messages.
    template <class Read> void items(const Value& parent, const char* name, Read read) {
        const Value& list = array(parent, name);
        for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
            Step step(*this, name, i);
            read(list[i]);
        }
    }

    double real(const Value& value, const char* name) const {
        // The parser refuses NaN, infinities and numbers out of double range, so
        // every number read here is finite.
        if (!value.IsNumber())
            fail(name, "expected a number");
        return value.GetDouble();
    }
    double realMember(const Value& parent, const char* name) const {
        return real(member(parent, name), name);
    }

    float single(const Value& value, const char* name) const {
        const double wide = real(value, name);
        if (std::fabs(wide) > FLT_MAX)
            fail(name, "number out of single-precision range");
        return static_cast<float>(wide);
    }
    float singleMember(const Value& parent, const char* name) const {
        return single(member(parent, name), name);
    }

    std::int32_t intValue(const Value& value, const char* name) const {
        if (!value.IsInt())
            fail(name, "expected a 32-bit integer");
        return value.GetInt();
    }
    std::int32_t integer(const Value& parent, const char* name) const {
        return intValue(member(parent, name), name);
    }

    std::uint32_t count(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        if (!value.IsUint())
            fail(name, "expected an unsigned 32-bit integer");
        return value.GetUint();
    }

    bool boolean(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        if (!value.IsBool())
            fail(name, "expected true or false");
        return value.GetBool();
    }

    DmString string(const Value& value, const char* name) const {
        if (!value.IsString())
            fail(name, "expected a string");
        return DmString(std::string(value.GetString(), value.GetStringLength()));
    }
    DmString text(const Value& parent, const char* name) const {
        return string(member(parent, name), name);
    }

    /// The optional "properties" member: [[id, type, value], ...].
    void properties(const Value& object, DmPropertySet& set) {
        if (!object.HasMember(kProperties))
            return;
        items(object, kProperties, [&](const Value& entry) {
            if (!entry.IsArray() || entry.Size() != 3)
                fail(nullptr, "expected [id, type, value]");
            const std::int32_t id = intValue(entry[0], kId);
            const auto type = static_cast<eDmPropType>(intValue(entry[1], kType));
            const Value& value = entry[2];
            eDmErrorId result = eDmErrorBadArgument;
            switch (type) {
            case eDmPropBool: {
                if (!value.IsBool())
                    fail(kValue, "expected true or false");
                const bool b = value.GetBool();
                result = set.setPropertyValue(id, type, &b);
                break;
            }
            case eDmPropInt32: {
                const std::int32_t i = intValue(value, kValue);
                result = set.setPropertyValue(id, type, &i);
                break;
            }
            case eDmPropFloat: {
                const float f = single(value, kValue);
                result = set.setPropertyValue(id, type, &f);
                break;
            }
            case eDmPropDouble: {
                const double d = real(value, kValue);
                result = set.setPropertyValue(id, type, &d);
                break;
            }
            case eDmPropString: {
                const DmString s = string(value, kValue);
                result = set.setPropertyValue(id, type, &s);
                break;
            }
            default:
                break;
            }
            if (result != eDmSuccess)
                fail(kType, "unknown property type");
        });
    }

    // --- held objects ----------------------------------------------------------

    CoSharedPtr<DmFrameResolution> resolution(const Value& parent, const char* name) {
        const Value* v = objectOrNull(parent, name);
        if (!v)
            return nullptr;
        Step step(*this, name);
        CoSharedPtr<DmFrameResolution> res = DmFrameResolution::create();
        properties(*v, *res);
        if (const auto x = optionalNumber(*v, kCenterX))
            res->setCenterX(*x);
        if (const auto y = optionalNumber(*v, kCenterY))
            res->setCenterY(*y);
        if (const auto x = optionalNumber(*v, kSizeX))
            res->setSizeX(*x);
        if (const auto y = optionalNumber(*v, kSizeY))
            res->setSizeY(*y);
        if (!member(*v, kWidth).IsNull())
            res->setWidth(integer(*v, kWidth));
        if (!member(*v, kHeight).IsNull())
            res->setHeight(integer(*v, kHeight));
        if (const Value* depth = objectOrNull(*v, kDepth)) {
            Step depthStep(*this, kDepth);
            res->setDepth(integer(*depth, kBits), integer(*depth, kChannels),
                          boolean(*depth, kFloat), boolean(*depth, kFlag));
        }
        if (!member(*v, kFrameRatio).IsNull())
            res->setFrameRatio(singleMember(*v, kFrameRatio));
        return res;
    }

    /// A number member that may be null (an unset value).
    std::optional<double> optionalNumber(const Value& parent, const char* name) const {
        const Value& value = member(parent, name);
        if (value.IsNull())
            return std::nullopt;
        return real(value, name);
    }

    CoSharedPtr<DmAudioProperties> audio(const Value& parent) {
        const Value* v = objectOrNull(parent, kAudio);
        if (!v)
            return nullptr;
        Step step(*this, kAudio);
        CoSharedPtr<DmAudioProperties> audio = DmAudioProperties::create();
        properties(*v, *audio);
        audio->setNbChannels(integer(*v, kChannels));
        audio->setSamplingRate(realMember(*v, kSamplingRate));
        return audio;
    }

    CoSharedPtr<DmSourceInfo> sourceInfo(const Value& parent) {
        const Value* v = objectOrNull(parent, kSourceInfo);
        if (!v)
            return nullptr;
        Step step(*this, kSourceInfo);
        CoSharedPtr<DmSourceInfo> info = DmSourceInfo::create();
        properties(*v, *info);
        items(*v, kSequences, [&](const Value& path) { info->addSequence(string(path, nullptr)); });
        info->setSourceType(static_cast<DmSourceInfo::SourceType>(integer(*v, kSourceType)));
        info->setFileType(static_cast<DmSourceInfo::FileType>(integer(*v, kFileType)));
        info->setPath(text(*v, kPath));
        info->setOriginalSourceUID(text(*v, kOriginalSourceUID));
        return info;
    }

    CoSharedPtr<DmSourceNode::Input> input(const Value& v) {
        requireObject(v, nullptr);
        if (text(v, kKind) != DmString(kMedia))
            fail(kKind, std::string("unknown input kind (expected \"") + kMedia + "\")");
        const CoSharedPtr<DmSourceInfo> info = sourceInfo(v);
        CoSharedPtr<DmSourceNode::MediaInput> in = DmSourceNode::MediaInput::create(
            realMember(v, kAvailIn), realMember(v, kAvailLength), info.get(), text(v, kFcm),
            static_cast<eDmTreeMediaType>(integer(v, kMediaType)), boolean(v, kFlag));
        properties(v, *in);
        const CoSharedPtr<DmFrameResolution> res = resolution(v, kPrimaryRes);
        in->setPrimaryRes(res.get());
        const CoSharedPtr<DmAudioProperties> sound = audio(v);
        in->setAudioProperties(sound.get());
        items(v, kExtraData, [&](const Value& e) {
            requireObject(e, nullptr);
            CoSharedPtr<DmSourceNode::DictionaryEntry> entry =
                DmSourceNode::DictionaryEntry::create(text(e, kKey), text(e, kValue));
            properties(e, *entry);
            in->addExtraData(entry.get());
        });
        return in;
    }

    CoSharedPtr<DmSimpleChannel> simpleChannel(const Value& v) {
        requireObject(v, nullptr);
        CoSharedPtr<DmSimpleChannel> channel = DmSimpleChannel::create(text(v, kValue));
        properties(v, *channel);
        return channel;
    }

    CoSharedPtr<DmAnimationChannel> animationChannel(const Value& v) {
        requireObject(v, nullptr);
        CoSharedPtr<DmAnimationChannel> channel = DmAnimationChannel::create(
            static_cast<DmAnimationChannel::DeprecatedInterpType>(integer(v, kInterpType)),
            static_cast<DmAnimationChannel::ExtrapolationType>(integer(v, kExtrapolation)),
            count(v, kVersion), realMember(v, kParameter));
        properties(v, *channel);
        items(v, kKeyFrames, [&](const Value& k) {
            requireObject(k, nullptr);
            const Value& parameters = array(k, kParameters);
            if (parameters.Size() != DmKeyFrame::kNbParameters)
                fail(kParameters,
                     "expected " + std::to_string(DmKeyFrame::kNbParameters) + " numbers");
            CoSharedPtr<DmKeyFrame> frame = DmKeyFrame::create2(
                realMember(k, kTime), singleMember(k, kValue),
                static_cast<DmKeyFrame::InterpMode>(integer(k, kMode)),
                static_cast<DmKeyFrame::InterpOrder>(integer(k, kOrder)),
                real(parameters[0], kParameters), real(parameters[1], kParameters),
                real(parameters[2], kParameters), real(parameters[3], kParameters),
                count(k, kCount));
            properties(k, *frame);
            channel->addKeyFrame(frame.get());
        });
        return channel;
    }

    /// Reads "name":[{"id":..,"channel":..},..] and hands each pair to `store`.
    template <class Id, class Read, class Store>
    void idTable(const Value& parent, const char* name, Read read, Store store) {
        items(parent, name, [&](const Value& entry) {
            requireObject(entry, nullptr);
            const auto id = static_cast<Id>(integer(entry, kId));
            Step step(*this, kChannel);
            const auto channel = read(member(entry, kChannel));
            store(id, channel.get());
        });
    }

    void triple(const Value& parent, const char* name, double (&out)[3]) {
        const Value& values = array(parent, name);
        if (values.Size() != 3)
            fail(name, "expected 3 numbers");
        for (rapidjson::SizeType i = 0; i < 3; ++i)
            out[i] = real(values[i], name);
    }

    CoSharedPtr<DmStroke> stroke(const Value& v) {
        requireObject(v, nullptr);
        CoSharedPtr<DmStroke> stroke = DmStroke::create();
        properties(v, *stroke);
        const Value& color = member(v, kColor);
        if (!color.IsNull()) {
            if (!color.IsArray() || color.Size() != 4)
                fail(kColor, "expected null or 4 numbers");
            stroke->setColor(single(color[0], kColor), single(color[1], kColor),
                             single(color[2], kColor), single(color[3], kColor));
        }
        stroke->setType(text(v, kType));
        stroke->setBrush(text(v, kBrush));
        items(v, kPoints, [&](const Value& p) {
            if (!p.IsArray() || p.Size() != 3)
                fail(nullptr, "expected [x, y, width]");
            stroke->addPoint(real(p[0], nullptr), real(p[1], nullptr), real(p[2], nullptr));
        });
        return stroke;
    }

    CoSharedPtr<DmTextParagraph> paragraph(const Value& v) {
        requireObject(v, nullptr);
        CoSharedPtr<DmTextParagraph> paragraph = DmTextParagraph::create();
        properties(v, *paragraph);
        paragraph->text = text(v, kText);
        paragraph->fontName = text(v, kFontName);
        paragraph->setWidth(singleMember(v, kWidth));
        idTable<DmTextParagraph::ChannelId>(
            v, kChannels, [&](const Value& c) { return animationChannel(c); },
            [&](DmTextParagraph::ChannelId id, DmAnimationChannel* c) {
                paragraph->setChannel(id, c);
            });
        idTable<DmTextParagraph::AttributId>(
            v, kAttributs, [&](const Value& c) { return simpleChannel(c); },
            [&](DmTextParagraph::AttributId id, DmSimpleChannel* c) {
                paragraph->setAttribut(id, c);
            });
        return paragraph;
    }

    void layerValues(const Value& v, DmEffectLayer& layer) {
        layer.setFrameRange(integer(v, kStartFrame), count(v, kDuration));
        layer.setHold(boolean(v, kHold));
        layer.setGhost(boolean(v, kGhost));
        layer.setGhostBefore(count(v, kGhostBefore));
        layer.setGhostAfter(count(v, kGhostAfter));
    }

    /// An effect of a segment, or a layer of an annotation.
    CoSharedPtr<DmEffectSettings> effect(const Value& v) {
        requireObject(v, nullptr);
        const DmString kind = text(v, kKind);
        CoSharedPtr<DmEffectSettings> fx;
        if (kind == DmString(kComp)) {
            CoSharedPtr<DmCompSettings> comp = DmCompSettings::create();
            idTable<DmCompSettings::AttributId>(
                v, kAttributs, [&](const Value& c) { return simpleChannel(c); },
                [&](DmCompSettings::AttributId id, DmSimpleChannel* c) {
                    comp->setAttribut(id, c);
                });
            idTable<DmCompSettings::ChannelId>(
                v, kChannels, [&](const Value& c) { return animationChannel(c); },
                [&](DmCompSettings::ChannelId id, DmAnimationChannel* c) {
                    comp->setChannel(id, c);
                });
            fx = comp;
        } else if (kind == DmString(kAngularMask)) {
            fx = DmAngularMaskSettings::create();
        } else if (kind == DmString(kLook)) {
            CoSharedPtr<DmLookSettings> look = DmLookSettings::create();
            triple(v, kSlope, look->slope);
            triple(v, kOffset, look->offset);
            triple(v, kPower, look->power);
            look->saturation = realMember(v, kSaturation);
            fx = look;
        } else if (kind == DmString(kAnnotation)) {
            CoSharedPtr<DmAnnotationSettings> note = DmAnnotationSettings::create();
            items(v, kLayers, [&](const Value& l) {
                const CoSharedPtr<DmEffectSettings> layerFx = effect(l);
                auto* layer = dynamic_cast<DmEffectLayer*>(layerFx.get());
                if (!layer)
                    fail(kKind, "an annotation layer must be \"paint\" or \"text\"");
                note->addLayer(layer);
            });
            fx = note;
        } else if (kind == DmString(kPaint)) {
            CoSharedPtr<DmPaintLayer> paint = DmPaintLayer::create();
            layerValues(v, *paint);
            items(v, kStrokes, [&](const Value& s) {
                const CoSharedPtr<DmStroke> item = stroke(s);
                paint->addStroke(item.get());
            });
            fx = paint;
        } else if (kind == DmString(kText)) {
            CoSharedPtr<DmTextLayer> layer = DmTextLayer::create();
            layerValues(v, *layer);
            idTable<DmTextLayer::ChannelId>(
                v, kChannels, [&](const Value& c) { return animationChannel(c); },
                [&](DmTextLayer::ChannelId id, DmAnimationChannel* c) {
                    layer->setChannel(id, c);
                });
            items(v, kParagraphs, [&](const Value& p) {
                const CoSharedPtr<DmTextParagraph> item = paragraph(p);
                layer->addParagraph(item.get());
            });
            fx = layer;
        } else {
            fail(kKind, "unknown effect kind \"" + kind.str() + "\"");
        }
        properties(v, *fx);
        fx->setMuted(boolean(v, kMuted));
        return fx;
    }

    // --- nodes -------------------------------------------------------------------

    void segmentValues(const Value& v, DmSegmentNode& segment) {
        segment.setRecIn(realMember(v, kRecIn));
        segment.setRecLength(realMember(v, kRecLength));
        segment.setSegmentId(text(v, kSegmentId));
        segment.setMediaType(static_cast<eDmTreeMediaType>(integer(v, kMediaType)));
        items(v, kEffects, [&](const Value& e) {
            const CoSharedPtr<DmEffectSettings> fx = effect(e);
            segment.addEffect(fx.get());
        });
    }

    /// The node `v` stands for, with its values, effects and inputs, without its
    /// children.
    CoSharedPtr<DmTreeNode> node(const Value& v) {
        requireObject(v, nullptr);
        const DmString kind = text(v, kKind);
        CoSharedPtr<DmTreeNode> n;
        if (kind == DmString(kRoot)) {
            n = DmRoot::create();
        } else if (kind == DmString(kReel)) {
            n = DmReelNode::create();
        } else if (kind == DmString(kComposition)) {
            const CoSharedPtr<DmFrameResolution> res = resolution(v, kResolution);
            CoSharedPtr<DmCompositionNode> comp =
                DmCompositionNode::create(text(v, kName), text(v, kFcm), res.get());
            comp->setStartTC(realMember(v, kStartTC), text(v, kStartTcFcm));
            comp->setCompLength(realMember(v, kLength));
            n = comp;
        } else if (kind == DmString(kTrack)) {
            n = DmTrackNode::create(integer(v, kIndex),
                                    static_cast<eDmTreeMediaType>(integer(v, kMediaType)));
        } else if (kind == DmString(kLayer)) {
            CoSharedPtr<DmLayerNode> layer = DmLayerNode::create(
                integer(v, kIndex), static_cast<eDmTreeMediaType>(integer(v, kMediaType)),
                integer(v, kParameter), boolean(v, kFirstLayer));
            layer->setLayerStartTC(realMember(v, kStartTC));
            layer->setLayerLength(realMember(v, kLength));
            n = layer;
        } else if (kind == DmString(kSource)) {
            CoSharedPtr<DmSourceNode> source = DmSourceNode::create(
                nullptr, 0.0, 0.0, realMember(v, kRelIn), boolean(v, kFlag1), boolean(v, kFlag2));
            segmentValues(v, *source);
            items(v, kInputs, [&](const Value& i) {
                const CoSharedPtr<DmSourceNode::Input> in = input(i);
                source->addMultiInput(in.get());
            });
            n = source;
        } else if (kind == DmString(kGap)) {
            CoSharedPtr<DmGapNode> gap = DmGapNode::create(0.0, 0.0, eDmMediaUnset, DmString());
            segmentValues(v, *gap);
            n = gap;
        } else if (kind == DmString(kCut)) {
            CoSharedPtr<DmCutNode> cut = DmCutNode::create(eDmMediaUnset);
            segmentValues(v, *cut);
            n = cut;
        } else if (kind == DmString(kContainer)) {
            n = DmContainerNode::create();
        } else {
            fail(kKind, "unknown node kind \"" + kind.str() + "\"");
        }
        n->setName(text(v, kName));
        properties(v, *n);
        return n;
    }

    /// The node `v` stands for and its whole subtree, read in document order. An
    /// explicit stack of levels instead of recursion, so that a text the builder
    /// wrote for a tree of any depth reads back.
    CoSharedPtr<DmTreeNode> tree(const Value& v) {
        struct Level {
            const Value* children;
            rapidjson::SizeType next;
            DmTreeNode* node; // held by its parent, or by `top`
            std::size_t pathSize;
        };
        const CoSharedPtr<DmTreeNode> top = node(v);
        std::vector<Level> levels{{&array(v, kChildren), 0, top.get(), m_path.size()}};
        while (!levels.empty()) {
            Level& level = levels.back();
            m_path.resize(level.pathSize);
            if (level.next == level.children->Size()) {
                levels.pop_back();
                continue;
            }
            const rapidjson::SizeType index = level.next++;
            append(kChildren);
            m_path += "[" + std::to_string(index) + "]";
            const Value& c = (*level.children)[index];
            const CoSharedPtr<DmTreeNode> child = node(c);
            level.node->addChild(child.get());
            levels.push_back(
                Level{&array(c, kChildren), 0, child.get(), m_path.size()}); // `level` may move
        }
        return top;
    }

    std::string m_path;
};

/// Gives up the holder's reference without deleting, so that the object goes to
/// the caller like the result of a create factory: no reference taken.
template <class T> T* handOver(CoSharedPtr<T>& held) {
    T* object = held.get();
    object->incref();
    held = nullptr;
    object->decref();
    return object;
}

DmStatus readTree(const char* json, CoSharedPtr<DmTreeNode>& tree) {
    if (!json)
        return DmStatus::failure("no text to read");
    rapidjson::Document doc;
    // Full precision reads back exactly the doubles the builder wrote.
    StrictJson::parse<rapidjson::kParseFullPrecisionFlag>(doc, json);
    if (const std::optional<StrictJson::SyntaxError> error = StrictJson::syntaxErrorOf(doc, json)) {
        return DmStatus::failure(DmString("JSON syntax error at line " +
                                          std::to_string(error->line) + ", column " +
                                          std::to_string(error->column) + ": " + error->reason));
    }
    try {
        tree = Reader().document(doc);
    } catch (const ShapeError& error) {
        return DmStatus::failure(DmString(error.message));
    }
    return DmStatus();
}

} // namespace

DmStatus DmJsonImporter::importNodeFromStr(const char* json, DmTreeNode*& node) {
    CoSharedPtr<DmTreeNode> tree;
    const DmStatus status = readTree(json, tree);
    if (!status.ok())
        return status;
    node = handOver(tree);
    return status;
}

DmStatus DmJsonImporter::importRootFromStr(const char* json, DmRoot*& root) {
    CoSharedPtr<DmTreeNode> tree;
    const DmStatus status = readTree(json, tree);
    if (!status.ok())
        return status;
    CoSharedPtr<DmRoot> held(dynamic_cast<DmRoot*>(tree.get()));
    if (!held)
        return DmStatus::failure("tree: expected a node of kind \"root\"");
    tree = nullptr;
    root = handOver(held);
    return status;
}
