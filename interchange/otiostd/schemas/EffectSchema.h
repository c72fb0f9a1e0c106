#pragma once

#include "interchange/kept/KeptObjects.h"
#include "interchange/otiostd/io/OtioWriter.h"
#include "interchange/otiostd/io/ReadContext.h"
#include "interchange/otiostd/kept/ForeignJson.h"

class DmSegmentNode;

namespace ZEM_0_81::Interchange {

/// "Effect.1": the effects of a segment, in the segment's order. Each is an
/// Effect that the OpenTimelineIO library reads without any schema of ours: its
/// "name" (the settings' name), "effect_name" (what kind of effect it is:
/// "Comp", "AngularMask", "CDL", "Annotation", or "PaintLayer" and "TextLayer"
/// for an annotation layer attached on its own) and "enabled" (false for muted
/// settings). Everything else is under "metadata" → "zem", whose "ZEM_SCHEMA"
/// names the product schema of the effect:
///
///     "Comp.1"         {"blend_mode": SIMPLE, "opacity": D, "attributes", "channels",
///     "properties"} "AngularMask.1"  {"pivot": [D, D], "angle_in_radians": F, "properties"}
///     "CDL.1"          {"slope": [D, D, D], "offset": [D, D, D], "power": [D, D, D],
///                       "saturation": D, "properties"}
///     "Annotation.1", "PaintLayer.1", "TextLayer.1": see AnnotationSchema
///
/// "opacity" is 1 minus the constant transparency channel, as the product writes
/// it, when that gives the channel back exactly; otherwise the channel is kept
/// with the others in "channels" (ChannelJson). Angular-mask values are
/// properties of the settings; those not shown as "pivot" or "angle_in_radians"
/// stay in "properties".
namespace EffectSchema {

constexpr const char* kType = "Effect";
constexpr const char* kSchema = "Effect.1";
using KeptObjects::kEffectName;

/// Writes "effects": the segment's effects, then the OTIO effects it keeps
/// (ForeignMembers::Leftovers). Throws Json::Exception with JsonGenerationFailed
/// for settings of a kind this system does not define.
void writeAll(OtioWriter& writer, const DmSegmentNode& segment);

/// Adds to `segment` the effects of `item`'s "effects"; an effect that is not one
/// of this system's is reported as a loss, and kept in `leftovers` when it is an
/// OTIO effect.
void readAll(const Members& item, DmSegmentNode& segment, ForeignMembers::Leftovers& leftovers);

} // namespace EffectSchema

} // namespace ZEM_0_81::Interchange
