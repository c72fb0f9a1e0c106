#include "interchange/otiostd/schemas/EffectSchema.h"

#include "composition/JsonException.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/otiostd/metadata/ChannelJson.h"
#include "interchange/otiostd/metadata/PropertyJson.h"
#include "interchange/otiostd/schemas/AnnotationSchema.h"
#include "interchange/otiostd/schemas/SchemaMembers.h"
#include "outside/dmtree/DmAngularMaskSettings.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompSettings.h"
#include "outside/dmtree/DmEffectLayer.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "rapidotio/keys/AngularMaskKeys.h"
#include "rapidotio/keys/AnnotationKeys.h"
#include "rapidotio/keys/CDLKeys.h"
#include "rapidotio/keys/CompKeys.h"
#include "json/ConstantChannel.h"
#include "json/EditTree.h"

#include <cstring>
#include <vector>

namespace ZEM_0_81::Interchange::EffectSchema {

namespace {

namespace keys = rapidotio::keys;

// --- compositing ---------------------------------------------------------------

/// The opacity the product writes for a constant transparency `value`, when
/// reading it back gives `value` again.
bool opacityOf(float transparency, double& opacity) {
    opacity = 1.0 - static_cast<double>(transparency);
    const float back = static_cast<float>(1.0 - opacity);
    return std::memcmp(&back, &transparency, sizeof back) == 0;
}

void writeComp(OtioWriter& writer, const DmCompSettings& comp) {
    if (const CoSharedPtr<DmSimpleChannel> blendMode =
            comp.getAttribut(DmCompSettings::kBlendMode)) {
        writer.key(keys::CompKeys::blendMode);
        ChannelJson::writeSimple(writer, *blendMode);
    }
    bool opacityShown = false;
    float transparency = 0.0f;
    double opacity = 0.0;
    if (const CoSharedPtr<DmAnimationChannel> channel =
            comp.getChannel(DmCompSettings::kTransparency)) {
        if (ChannelJson::isConstant(*channel, transparency) && opacityOf(transparency, opacity)) {
            writer.member(keys::CompKeys::opacity, opacity);
            opacityShown = true;
        }
    }
    ChannelJson::writeAttributes(writer, comp, {DmCompSettings::kBlendMode});
    if (opacityShown)
        ChannelJson::writeChannels(writer, comp, {DmCompSettings::kTransparency});
    else
        ChannelJson::writeChannels(writer, comp, {});
    PropertyJson::write(writer, comp);
}

CoSharedPtr<DmEffectSettings> readComp(const Members& zem) {
    const CoSharedPtr<DmCompSettings> comp(DmCompSettings::create());
    ChannelJson::readAttributes(zem, *comp);
    ChannelJson::readChannels(zem, *comp);
    if (const Value* blendMode = zem.find(keys::CompKeys::blendMode);
        blendMode && !blendMode->IsNull()) {
        const ReadContext::Scope scope(zem.context(), keys::CompKeys::blendMode);
        if (const CoSharedPtr<DmSimpleChannel> attribute = ChannelJson::readSimple(zem, *blendMode))
            comp->setAttribut(DmCompSettings::kBlendMode, attribute.get());
    }
    double opacity = 0.0;
    if (zem.getDouble(keys::CompKeys::opacity, opacity))
        Json::setConstantChannel(*comp, DmCompSettings::kTransparency,
                                 static_cast<float>(1.0 - opacity));
    PropertyJson::read(zem, *comp);
    return comp;
}

// --- angular mask ---------------------------------------------------------------

void writeAngularMask(OtioWriter& writer, const DmAngularMaskSettings& mask) {
    double x = 0.0, y = 0.0;
    float angle = 0.0f;
    const bool pivot =
        mask.getPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &x) == eDmSuccess &&
        mask.getPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &y) == eDmSuccess;
    const bool hasAngle =
        mask.getPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle) == eDmSuccess;
    if (pivot) {
        writer.key(keys::AngularMaskKeys::pivot);
        writer.beginArray();
        writer.number(x);
        writer.number(y);
        writer.endArray();
    }
    if (hasAngle)
        writer.member(keys::AngularMaskKeys::angleInRadians, static_cast<double>(angle));
    std::vector<std::int32_t> shown;
    if (pivot)
        shown = {DmAngularMaskSettings::kPivotX, DmAngularMaskSettings::kPivotY};
    if (hasAngle)
        shown.push_back(DmAngularMaskSettings::kAngle);
    PropertyJson::write(writer, mask, shown);
}

CoSharedPtr<DmEffectSettings> readAngularMask(const Members& zem) {
    const CoSharedPtr<DmAngularMaskSettings> mask(DmAngularMaskSettings::create());
    PropertyJson::read(zem, *mask);
    if (const Value* pivot = zem.arrayMember(keys::AngularMaskKeys::pivot)) {
        double x = 0.0, y = 0.0;
        if (pivot->Size() == 2 && finiteNumber((*pivot)[0], x) && finiteNumber((*pivot)[1], y)) {
            mask->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &x);
            mask->setPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &y);
        } else {
            zem.wrongType(keys::AngularMaskKeys::pivot, "two finite numbers");
        }
    }
    float angle = 0.0f;
    if (zem.getFloat(keys::AngularMaskKeys::angleInRadians, angle))
        mask->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle);
    return mask;
}

// --- colour decision list ---------------------------------------------------------

void writeTriple(OtioWriter& writer, const char* key, const double (&values)[3]) {
    writer.key(key);
    writer.beginArray();
    for (const double value : values)
        writer.number(value);
    writer.endArray();
}

void readTriple(const Members& zem, const char* key, double (&values)[3]) {
    const Value* triple = zem.arrayMember(key);
    if (!triple)
        return;
    double read[3] = {};
    if (triple->Size() == 3 && finiteNumber((*triple)[0], read[0]) &&
        finiteNumber((*triple)[1], read[1]) && finiteNumber((*triple)[2], read[2])) {
        std::memcpy(values, read, sizeof read);
        return;
    }
    zem.wrongType(key, "three finite numbers");
}

void writeLook(OtioWriter& writer, const DmLookSettings& look) {
    writeTriple(writer, keys::CDLKeys::slope, look.slope);
    writeTriple(writer, keys::CDLKeys::offset, look.offset);
    writeTriple(writer, keys::CDLKeys::power, look.power);
    writer.member(keys::CDLKeys::saturation, look.saturation);
    PropertyJson::write(writer, look);
}

CoSharedPtr<DmEffectSettings> readLook(const Members& zem) {
    const CoSharedPtr<DmLookSettings> look(DmLookSettings::create());
    readTriple(zem, keys::CDLKeys::slope, look->slope);
    readTriple(zem, keys::CDLKeys::offset, look->offset);
    readTriple(zem, keys::CDLKeys::power, look->power);
    zem.getDouble(keys::CDLKeys::saturation, look->saturation);
    PropertyJson::read(zem, *look);
    return look;
}

// --- annotations --------------------------------------------------------------------

CoSharedPtr<DmEffectSettings> readAnnotation(const Members& zem) {
    const CoSharedPtr<DmAnnotationSettings> annotation(DmAnnotationSettings::create());
    AnnotationSchema::readAnnotation(zem, *annotation);
    return annotation;
}

// --- every kind ---------------------------------------------------------------------

void writeEffect(OtioWriter& writer, const DmEffectSettings& effect) {
    const char* zemSchema = nullptr;
    const char* effectName = nullptr;
    SchemaMembers::start(writer, kSchema);
    const Json::EditTree::EffectKind kind = Json::EditTree::effectKindOf(effect);
    if (kind == Json::EditTree::EffectKind::Comp) {
        zemSchema = keys::CompKeys::schema;
        effectName = keys::CompKeys::typeWord;
        SchemaMembers::startZem(writer, zemSchema);
        writeComp(writer, static_cast<const DmCompSettings&>(effect));
    } else if (kind == Json::EditTree::EffectKind::AngularMask) {
        zemSchema = keys::AngularMaskKeys::schema;
        effectName = keys::AngularMaskKeys::typeWord;
        SchemaMembers::startZem(writer, zemSchema);
        writeAngularMask(writer, static_cast<const DmAngularMaskSettings&>(effect));
    } else if (kind == Json::EditTree::EffectKind::Look) {
        zemSchema = keys::CDLKeys::schema;
        effectName = keys::CDLKeys::typeWord;
        SchemaMembers::startZem(writer, zemSchema);
        writeLook(writer, static_cast<const DmLookSettings&>(effect));
    } else if (kind == Json::EditTree::EffectKind::Annotation) {
        zemSchema = keys::AnnotationKeys::schema;
        effectName = keys::AnnotationKeys::typeWord;
        SchemaMembers::startZem(writer, zemSchema);
        AnnotationSchema::writeAnnotation(writer, static_cast<const DmAnnotationSettings&>(effect));
    } else if (const auto* layer = dynamic_cast<const DmEffectLayer*>(&effect);
               layer && AnnotationSchema::zemSchemaOf(*layer)) {
        zemSchema = AnnotationSchema::zemSchemaOf(*layer);
        effectName = std::strcmp(zemSchema, AnnotationSchema::kPaintLayerZemSchema) == 0
                         ? AnnotationSchema::kPaintLayerName
                         : AnnotationSchema::kTextLayerName;
        SchemaMembers::startZem(writer, zemSchema);
        AnnotationSchema::writeLayerMembers(writer, *layer);
    } else {
        throw Json::Exception(std::string("the effect at ") + writer.pointer() + " (" +
                                  effect.getName() + ") is of a kind this system does not define",
                              Status(Status::JsonGenerationFailed));
    }
    SchemaMembers::endZem(writer);
    writer.member(SchemaMembers::kName, effect.getName());
    writer.member(kEffectName, effectName);
    writer.memberBool(SchemaMembers::kEnabled, !effect.isMuted());
    writer.endObject();
}

bool isEffectZemSchema(const std::string& zemSchema) {
    return zemSchema == keys::CompKeys::schema || zemSchema == keys::AngularMaskKeys::schema ||
           zemSchema == keys::CDLKeys::schema || zemSchema == keys::AnnotationKeys::schema ||
           zemSchema == AnnotationSchema::kPaintLayerZemSchema ||
           zemSchema == AnnotationSchema::kTextLayerZemSchema;
}

/// The settings described by `zem`, of one of the schemas above.
CoSharedPtr<DmEffectSettings> readSettings(const Members& zem, const std::string& zemSchema) {
    if (zemSchema == keys::CompKeys::schema)
        return readComp(zem);
    if (zemSchema == keys::AngularMaskKeys::schema)
        return readAngularMask(zem);
    if (zemSchema == keys::CDLKeys::schema)
        return readLook(zem);
    if (zemSchema == keys::AnnotationKeys::schema)
        return readAnnotation(zem);
    return AnnotationSchema::readLayer(zem, zemSchema);
}

} // namespace

void writeAll(OtioWriter& writer, const DmSegmentNode& segment) {
    writer.key(SchemaMembers::kEffects);
    writer.beginArray();
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* effect = segment.getEffect(i);
        if (effect && !ReviewNotes::isMarker(*effect))
            writeEffect(writer, *effect);
    }
    ForeignMembers::writeEffects(writer, segment);
    writer.endArray();
}

void readAll(const Members& item, DmSegmentNode& segment, ForeignMembers::Leftovers& leftovers) {
    const Value* effects = item.arrayMember(SchemaMembers::kEffects);
    if (!effects)
        return;
    ReadContext& context = item.context();
    const ReadContext::Scope scope(context, SchemaMembers::kEffects);
    for (rapidjson::SizeType i = 0; i < effects->Size(); ++i) {
        const ReadContext::Scope element(context, i);
        const Value& value = (*effects)[i];
        const std::string schema = SchemaMembers::schemaOf(value);
        std::string type;
        int version = 0;
        if (!SchemaMembers::parseSchema(schema, type, version) || type != kType) {
            const std::string why = "not an effect the edit tree has settings for";
            context.lose(schema, SchemaMembers::isOtioEffect(value) && leftovers.effect(value)
                                     ? "not applied: " + why + ForeignMembers::Leftovers::kKeptNote
                                     : "dropped: " + why);
            continue;
        }
        const Members effect(context, &value, schema);
        const std::string zemSchema = SchemaMembers::zemSchemaOf(value);
        if (!isEffectZemSchema(zemSchema)) {
            std::string effectName;
            effect.getString(kEffectName, effectName);
            const std::string why = "the edit tree has no settings for it";
            context.lose(schema,
                         "effect \"" + effectName +
                             (leftovers.effect(value)
                                  ? "\" not applied: " + why + ForeignMembers::Leftovers::kKeptNote
                                  : "\" dropped: " + why));
            continue;
        }
        SchemaMembers::reportUnread(effect, SchemaMembers::Unread::Metadata);
        CoSharedPtr<DmEffectSettings> settings;
        {
            const SchemaMembers::ZemScope zem(context, value, schema);
            settings = readSettings(zem.members(), zemSchema);
        }
        if (!settings)
            continue;
        bool enabled = true;
        effect.getBool(SchemaMembers::kEnabled, enabled);
        settings->setMuted(!enabled);
        segment.addEffect(settings.get());
    }
}

} // namespace ZEM_0_81::Interchange::EffectSchema
