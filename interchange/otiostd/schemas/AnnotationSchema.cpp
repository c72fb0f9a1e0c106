#include "interchange/otiostd/schemas/AnnotationSchema.h"

#include "composition/JsonException.h"
#include "interchange/otiostd/metadata/ChannelJson.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "rapidotio/keys/EffectKeys.h"
#include "rapidotio/keys/PaintKeys.h"
#include "rapidotio/keys/PointKeys.h"
#include "rapidotio/keys/TextKeys.h"
#include "json/ConstantChannel.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmStroke.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ZEM_0_81::Interchange::AnnotationSchema {

namespace {

namespace keys = rapidotio::keys;

constexpr const char* kFrameRange = "frame_range";
constexpr const char* kStrokes = "strokes";
constexpr const char* kParagraphs = "paragraphs";

// --- constant channels shown by name ------------------------------------------------

/// The value of `owner`'s channel `id` when it is a constant channel.
template <class Owner>
bool constantOf(const Owner& owner, typename Owner::ChannelId id, float& value) {
    const CoSharedPtr<DmAnimationChannel> channel = owner.getChannel(id);
    return channel && ChannelJson::isConstant(*channel, value);
}

/// Writes `key`: the constant channels `ids` of `owner` as numbers, null for
/// those that are absent or not constant; nothing when none is constant. Returns
/// the ids written as numbers.
template <class Owner, std::size_t N>
std::vector<typename Owner::ChannelId>
writeConstants(OtioWriter& writer, const char* key, const Owner& owner,
               const std::array<typename Owner::ChannelId, N>& ids) {
    std::vector<typename Owner::ChannelId> shown;
    std::array<float, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        if (constantOf(owner, ids[i], values[i]))
            shown.push_back(ids[i]);
    }
    if (shown.empty())
        return shown;
    writer.key(key);
    writer.beginArray();
    for (std::size_t i = 0; i < N; ++i) {
        if (constantOf(owner, ids[i], values[i]))
            writer.number(static_cast<double>(values[i]));
        else
            writer.null();
    }
    writer.endArray();
    return shown;
}

/// Reads `key` (an array of as many numbers or nulls as `ids`) into constant
/// channels of `owner`.
template <class Owner, std::size_t N>
void readConstants(const Members& members, const char* key, Owner& owner,
                   const std::array<typename Owner::ChannelId, N>& ids) {
    const Value* values = members.arrayMember(key);
    if (!values)
        return;
    if (values->Size() != N) {
        members.wrongType(key, N == 2 ? "two numbers or nulls" : "four numbers or nulls");
        return;
    }
    for (std::size_t i = 0; i < N; ++i) {
        const Value& element = (*values)[static_cast<rapidjson::SizeType>(i)];
        float value = 0.0f;
        if (singleFloat(element, value))
            Json::setConstantChannel(owner, ids[i], value);
        else if (!element.IsNull())
            members.wrongType(key, "numbers in the single-precision range, or nulls");
    }
}

/// Writes `key`: one constant channel of `owner` as a number, when it is one.
template <class Owner>
bool writeConstant(OtioWriter& writer, const char* key, const Owner& owner,
                   typename Owner::ChannelId id) {
    float value = 0.0f;
    if (!constantOf(owner, id, value))
        return false;
    writer.member(key, static_cast<double>(value));
    return true;
}

template <class Owner>
void readConstant(const Members& members, const char* key, Owner& owner,
                  typename Owner::ChannelId id) {
    float value = 0.0f;
    if (members.getFloat(key, value))
        Json::setConstantChannel(owner, id, value);
}

/// Writes the channels of `owner` but those in `shown`.
template <class Owner>
void writeOtherChannels(OtioWriter& writer, const Owner& owner,
                        const std::vector<typename Owner::ChannelId>& shown) {
    bool started = false;
    for (const auto id : owner.getChannelIds()) {
        if (std::find(shown.begin(), shown.end(), id) != shown.end())
            continue;
        const CoSharedPtr<DmAnimationChannel> channel = owner.getChannel(id);
        if (!channel)
            continue;
        if (!started) {
            writer.key(ChannelJson::kChannels);
            writer.beginArray();
            started = true;
        }
        writer.beginArray();
        writer.integer(static_cast<std::int32_t>(id));
        ChannelJson::writeChannel(writer, *channel);
        writer.endArray();
    }
    if (started)
        writer.endArray();
}

constexpr std::array<DmTextLayer::ChannelId, 2> kPosition = {DmTextLayer::kPositionX,
                                                             DmTextLayer::kPositionY};
constexpr std::array<DmTextParagraph::ChannelId, 4> kColour = {
    DmTextParagraph::kColorRed, DmTextParagraph::kColorGreen, DmTextParagraph::kColorBlue,
    DmTextParagraph::kColorAlpha};

// --- strokes and paragraphs ----------------------------------------------------------

void writeStroke(OtioWriter& writer, const DmStroke& stroke) {
    writer.beginObject();
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    if (stroke.getColor(r, g, b, a)) {
        writer.key(keys::LayerKeys::rgba);
        writer.beginArray();
        for (const float component : {r, g, b, a})
            writer.number(static_cast<double>(component));
        writer.endArray();
    }
    writer.member(keys::PaintKeys::type, stroke.getType());
    writer.member(keys::PaintKeys::brush, stroke.getBrush());
    writer.key(keys::PaintKeys::points);
    writer.beginArray();
    double x = 0.0, y = 0.0, width = 0.0;
    for (std::uint32_t i = 0; stroke.getPointData(i, x, y, width); ++i) {
        writer.beginObject();
        writer.member(keys::PointKeys::x, x);
        writer.member(keys::PointKeys::y, y);
        writer.member(keys::PointKeys::width, width);
        writer.endObject();
    }
    writer.endArray();
    PropertyJson::write(writer, stroke);
    writer.endObject();
}

/// Reads `point` of `stroke` into `made`: its "x", "y" and "width" (the first member of
/// each name, as a lookup gives it), gathered in one pass over its members, as
/// there are many points and each has these alone. A point without all three
/// as finite numbers is dropped and said so, with the first one of them that is
/// there but no finite number.
void readPoint(const Members& stroke, const Value& point, rapidjson::SizeType index,
               DmStroke& made) {
    struct Wanted {
        Key name;
        const Value* value;
    };
    Wanted wanted[] = {{keys::PointKeys::x, nullptr},
                       {keys::PointKeys::y, nullptr},
                       {keys::PointKeys::width, nullptr}};
    if (point.IsObject())
        for (const auto& member : point.GetObject())
            for (Wanted& one : wanted)
                if (!one.value && named(member.name, one.name))
                    one.value = &member.value;
    double values[3] = {};
    double* next = values;
    for (const Wanted& one : wanted) {
        if (one.value && !one.value->IsNull() && finiteNumber(*one.value, *next++))
            continue;
        const ReadContext::Scope element(stroke.context(), index);
        if (one.value && !one.value->IsNull())
            Members(stroke, &point).wrongType(one.name, "a finite number");
        stroke.context().lose(stroke.schema(),
                              "point dropped: it needs a finite \"x\", \"y\" and \"width\"");
        return;
    }
    made.addPoint(values[0], values[1], values[2]);
}

CoSharedPtr<DmStroke> readStroke(const Members& stroke) {
    const CoSharedPtr<DmStroke> made(DmStroke::create());
    if (const Value* rgba = stroke.arrayMember(keys::LayerKeys::rgba)) {
        float colour[4] = {};
        if (rgba->Size() == 4 && singleFloat((*rgba)[0], colour[0]) &&
            singleFloat((*rgba)[1], colour[1]) && singleFloat((*rgba)[2], colour[2]) &&
            singleFloat((*rgba)[3], colour[3]))
            made->setColor(colour[0], colour[1], colour[2], colour[3]);
        else
            stroke.wrongType(keys::LayerKeys::rgba, "four numbers in the single-precision range");
    }
    DmString text;
    if (stroke.getString(keys::PaintKeys::type, text))
        made->setType(text);
    if (stroke.getString(keys::PaintKeys::brush, text))
        made->setBrush(text);
    if (const Value* points = stroke.arrayMember(keys::PaintKeys::points)) {
        const ReadContext::Scope scope(stroke.context(), keys::PaintKeys::points);
        for (rapidjson::SizeType i = 0; i < points->Size(); ++i)
            readPoint(stroke, (*points)[i], i, *made);
    }
    PropertyJson::read(stroke, *made);
    return made;
}

void writeParagraph(OtioWriter& writer, const DmTextParagraph& paragraph) {
    writer.beginObject();
    writer.member(keys::TextKeys::text, paragraph.text);
    writer.member(keys::TextKeys::fontName, paragraph.fontName);
    writer.member(keys::PointKeys::width, static_cast<double>(paragraph.getWidth()));
    std::vector<DmTextParagraph::ChannelId> shown =
        writeConstants(writer, keys::LayerKeys::rgba, paragraph, kColour);
    if (writeConstant(writer, keys::TextKeys::fontSize, paragraph, DmTextParagraph::kFontSize))
        shown.push_back(DmTextParagraph::kFontSize);
    if (writeConstant(writer, keys::TextKeys::orientation, paragraph,
                      DmTextParagraph::kOrientation))
        shown.push_back(DmTextParagraph::kOrientation);
    if (const CoSharedPtr<DmSimpleChannel> justification =
            paragraph.getAttribut(DmTextParagraph::kJustification)) {
        writer.key(keys::TextKeys::justification);
        ChannelJson::writeSimple(writer, *justification);
    }
    writeOtherChannels(writer, paragraph, shown);
    ChannelJson::writeAttributes(writer, paragraph, {DmTextParagraph::kJustification});
    PropertyJson::write(writer, paragraph);
    writer.endObject();
}

CoSharedPtr<DmTextParagraph> readParagraph(const Members& paragraph) {
    const CoSharedPtr<DmTextParagraph> made(DmTextParagraph::create());
    paragraph.getString(keys::TextKeys::text, made->text);
    paragraph.getString(keys::TextKeys::fontName, made->fontName);
    float width = 0.0f;
    if (paragraph.getFloat(keys::PointKeys::width, width))
        made->setWidth(width);
    ChannelJson::readChannels(paragraph, *made);
    ChannelJson::readAttributes(paragraph, *made);
    readConstants(paragraph, keys::LayerKeys::rgba, *made, kColour);
    readConstant(paragraph, keys::TextKeys::fontSize, *made, DmTextParagraph::kFontSize);
    readConstant(paragraph, keys::TextKeys::orientation, *made, DmTextParagraph::kOrientation);
    if (const Value* justification = paragraph.find(keys::TextKeys::justification);
        justification && !justification->IsNull()) {
        const ReadContext::Scope scope(paragraph.context(), keys::TextKeys::justification);
        if (const CoSharedPtr<DmSimpleChannel> attribute =
                ChannelJson::readSimple(paragraph, *justification))
            made->setAttribut(DmTextParagraph::kJustification, attribute.get());
    }
    PropertyJson::read(paragraph, *made);
    return made;
}

/// Reads each object of the array `key` with `read` and hands what it makes to
/// `add`.
template <class Read, class Add>
void forEachObject(const Members& owner, const char* key, Read read, Add add) {
    const Value* elements = owner.arrayMember(key);
    if (!elements)
        return;
    const ReadContext::Scope scope(owner.context(), key);
    for (rapidjson::SizeType i = 0; i < elements->Size(); ++i) {
        const ReadContext::Scope element(owner.context(), i);
        const Members members(owner, &(*elements)[i]);
        if (!members.object()) {
            owner.context().lose(owner.schema(), "ignored: expected an object");
            continue;
        }
        if (const auto made = read(members))
            add(made);
    }
}

// --- layers ----------------------------------------------------------------------------

void writeCommonMembers(OtioWriter& writer, const DmEffectLayer& layer) {
    writer.memberBool(keys::EffectKeys::visible, !layer.isMuted());
    writer.key(kFrameRange);
    writer.beginArray();
    writer.integer(layer.getStartFrame());
    writer.unsignedInteger(layer.getDuration());
    writer.endArray();
    writer.memberBool(keys::LayerKeys::hold, layer.isHold());
    writer.memberBool(keys::LayerKeys::ghost, layer.isGhost());
    writer.memberUnsigned(keys::LayerKeys::ghostBefore, layer.getGhostBefore());
    writer.memberUnsigned(keys::LayerKeys::ghostAfter, layer.getGhostAfter());
}

void readCommonMembers(const Members& zem, DmEffectLayer& layer) {
    bool flag = true;
    if (zem.getBool(keys::EffectKeys::visible, flag))
        layer.setMuted(!flag);
    if (const Value* range = zem.arrayMember(kFrameRange)) {
        if (range->Size() == 2 && (*range)[0].IsInt() && (*range)[1].IsUint())
            layer.setFrameRange((*range)[0].GetInt(), (*range)[1].GetUint());
        else
            zem.wrongType(kFrameRange, "[start, duration] in whole frames");
    }
    if (zem.getBool(keys::LayerKeys::hold, flag))
        layer.setHold(flag);
    if (zem.getBool(keys::LayerKeys::ghost, flag))
        layer.setGhost(flag);
    std::uint32_t frames = 0;
    if (zem.getUint(keys::LayerKeys::ghostBefore, frames))
        layer.setGhostBefore(frames);
    if (zem.getUint(keys::LayerKeys::ghostAfter, frames))
        layer.setGhostAfter(frames);
}

void writePaintMembers(OtioWriter& writer, const DmPaintLayer& paint) {
    writer.key(kStrokes);
    writer.beginArray();
    for (std::uint32_t i = 0; i < paint.getNbStrokes(); ++i) {
        if (const DmStroke* stroke = paint.getStroke(i))
            writeStroke(writer, *stroke);
    }
    writer.endArray();
}

void writeTextMembers(OtioWriter& writer, const DmTextLayer& text) {
    const std::vector<DmTextLayer::ChannelId> shown =
        writeConstants(writer, keys::TextKeys::position, text, kPosition);
    writeOtherChannels(writer, text, shown);
    writer.key(kParagraphs);
    writer.beginArray();
    for (std::uint32_t i = 0; i < text.getNbParagraphs(); ++i) {
        if (const DmTextParagraph* paragraph = text.getParagraph(i))
            writeParagraph(writer, *paragraph);
    }
    writer.endArray();
}

} // namespace

const char* zemSchemaOf(const DmEffectLayer& layer) {
    if (dynamic_cast<const DmPaintLayer*>(&layer))
        return kPaintLayerZemSchema;
    if (dynamic_cast<const DmTextLayer*>(&layer))
        return kTextLayerZemSchema;
    return nullptr;
}

void writeLayerMembers(OtioWriter& writer, const DmEffectLayer& layer) {
    writeCommonMembers(writer, layer);
    if (const auto* paint = dynamic_cast<const DmPaintLayer*>(&layer))
        writePaintMembers(writer, *paint);
    else if (const auto* text = dynamic_cast<const DmTextLayer*>(&layer))
        writeTextMembers(writer, *text);
    else
        throw Json::Exception(std::string("the annotation layer at ") + writer.pointer() + " (" +
                                  layer.getName() + ") is of a kind this system does not define",
                              Status(Status::JsonGenerationFailed));
    PropertyJson::write(writer, layer);
}

CoSharedPtr<DmEffectLayer> readLayer(const Members& zem, const std::string& zemSchema) {
    CoSharedPtr<DmEffectLayer> layer;
    if (zemSchema == kPaintLayerZemSchema) {
        const CoSharedPtr<DmPaintLayer> paint(DmPaintLayer::create());
        forEachObject(
            zem, kStrokes, [](const Members& stroke) { return readStroke(stroke); },
            [&](const CoSharedPtr<DmStroke>& stroke) { paint->addStroke(stroke.get()); });
        layer = paint;
    } else if (zemSchema == kTextLayerZemSchema) {
        const CoSharedPtr<DmTextLayer> text(DmTextLayer::create());
        ChannelJson::readChannels(zem, *text);
        readConstants(zem, keys::TextKeys::position, *text, kPosition);
        forEachObject(
            zem, kParagraphs, [](const Members& paragraph) { return readParagraph(paragraph); },
            [&](const CoSharedPtr<DmTextParagraph>& paragraph) {
                text->addParagraph(paragraph.get());
            });
        layer = text;
    } else {
        zem.context().lose(zem.schema(), "annotation layer of schema \"" + zemSchema +
                                             "\" dropped: not a paint or text layer");
        return layer;
    }
    readCommonMembers(zem, *layer);
    PropertyJson::read(zem, *layer);
    return layer;
}

void writeAnnotation(OtioWriter& writer, const DmAnnotationSettings& annotation) {
    writer.key(keys::EffectKeys::layers);
    writer.beginArray();
    for (std::uint32_t i = 0; i < annotation.getNbLayers(); ++i) {
        const DmEffectLayer* layer = annotation.getLayer(i);
        if (!layer)
            continue;
        const char* schema = zemSchemaOf(*layer);
        writer.beginObject();
        writer.member(SchemaMembers::kZemSchema, schema ? schema : "");
        writeLayerMembers(writer, *layer);
        writer.endObject();
    }
    writer.endArray();
    PropertyJson::write(writer, annotation);
}

void readAnnotation(const Members& zem, DmAnnotationSettings& annotation) {
    forEachObject(
        zem, keys::EffectKeys::layers,
        [](const Members& layer) {
            std::string schema;
            layer.getString(SchemaMembers::kZemSchema, schema);
            return readLayer(layer, schema);
        },
        [&](const CoSharedPtr<DmEffectLayer>& layer) { annotation.addLayer(layer.get()); });
    PropertyJson::read(zem, annotation);
}

} // namespace ZEM_0_81::Interchange::AnnotationSchema
