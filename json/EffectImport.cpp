// Import of the image effects of a clip or gap: compositing, angular masks and
// colour decision lists. Annotations are imported by AnnotationImport.cpp.

#include "json/DmTreeImporter.h"

#include "outside/dmtree/DmAngularMaskSettings.h"
#include "outside/dmtree/DmCompSettings.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmSimpleChannel.h"
#include "rapidotio/AngularMaskNode.h"
#include "rapidotio/AnnotationNode.h"
#include "rapidotio/CDLNode.h"
#include "rapidotio/CompNode.h"
#include "json/ConstantChannel.h"
#include "json/DmTreeImporterImpl.h"
#include "json/HandOver.h"
#include "json/Narrowing.h"

namespace ZEM_0_81::Json {

namespace {

/// Blend mode and transparency (1 - opacity). A compositing effect is never
/// muted: its "visible" is not used.
CoSharedPtr<DmEffectSettings> compSettingsOf(const rapidotio::CompNode& comp) {
    const CoSharedPtr<DmCompSettings> settings(DmCompSettings::create());
    handOver(DmSimpleChannel::create(DmString(comp.blend_mode.c_str())),
             [&](DmSimpleChannel* blendMode) {
                 settings->setAttribut(DmCompSettings::kBlendMode, blendMode);
             });
    setConstantChannel(*settings, DmCompSettings::kTransparency,
                       toStoredFloat(1.0 - static_cast<double>(comp.opacity)));
    return settings;
}

CoSharedPtr<DmEffectSettings> angularMaskSettingsOf(const rapidotio::AngularMaskNode& mask) {
    const CoSharedPtr<DmAngularMaskSettings> settings(DmAngularMaskSettings::create());
    const double pivotX = mask.pivot_x;
    const double pivotY = mask.pivot_y;
    const float angle = toStoredFloat(mask.angle_in_radians);
    settings->setPropertyValue(DmAngularMaskSettings::kPivotX, eDmPropDouble, &pivotX);
    settings->setPropertyValue(DmAngularMaskSettings::kPivotY, eDmPropDouble, &pivotY);
    settings->setPropertyValue(DmAngularMaskSettings::kAngle, eDmPropFloat, &angle);
    settings->setMuted(!mask.visible);
    return settings;
}

CoSharedPtr<DmEffectSettings> lookSettingsOf(const rapidotio::CDLNode& cdl) {
    const CoSharedPtr<DmLookSettings> settings(DmLookSettings::create());
    for (int channel = 0; channel < 3; ++channel) {
        settings->slope[channel] = cdl.slope[channel];
        settings->offset[channel] = cdl.offset[channel];
        settings->power[channel] = cdl.power[channel];
    }
    settings->saturation = cdl.saturation;
    settings->setMuted(!cdl.visible);
    return settings;
}

} // namespace

void DmTreeImporter::visitEffect(rapidotio::Node* node) {
    Impl& state = *m_impl;
    // Effects attach to the segment imported last; without one (a clip without
    // media, or no segment yet on the layer) they are dropped.
    if (!state.lastSegment || !node)
        return;

    CoSharedPtr<DmEffectSettings> settings;
    if (const auto* comp = rapidotio::leafCast<const rapidotio::CompNode>(node)) {
        settings = compSettingsOf(*comp);
    } else if (const auto* mask = rapidotio::leafCast<const rapidotio::AngularMaskNode>(node)) {
        settings = angularMaskSettingsOf(*mask);
    } else if (const auto* cdl = rapidotio::leafCast<const rapidotio::CDLNode>(node)) {
        settings = lookSettingsOf(*cdl);
    } else if (auto* annotation = rapidotio::leafCast<rapidotio::AnnotationNode>(node)) {
        state.importAnnotation(*annotation);
        return;
    }
    // Paint and text layers were taken in by their annotation: nothing to do.
    if (settings)
        state.lastSegment->addEffect(settings.get());
}

} // namespace ZEM_0_81::Json
