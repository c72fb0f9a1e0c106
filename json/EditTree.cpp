#include "json/EditTree.h"

#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmAngularMaskSettings.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompSettings.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmString.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace ZEM_0_81::Json::EditTree {

const DmCompositionNode* firstComposition(const DmRoot& root) {
    const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(0));
    if (!reel)
        return nullptr;
    return dynamic_cast<const DmCompositionNode*>(reel->getChild(0));
}

Status readRate(const DmString& fcm, Rational& rate) {
    return FPSUtils::getFPSFromString(String(DmStr2CStr(fcm).c_str()), rate);
}

Rational rateOf(const DmString& fcm) {
    Rational rate(0, 1);
    readRate(fcm, rate);
    return rate;
}

rapidotio::TrackKind trackKindOf(eDmTreeMediaType mediaType) {
    switch (mediaType) {
    case eDmMediaVideo:
        return rapidotio::Video;
    case eDmMediaAudio:
        return rapidotio::Audio;
    default:
        return rapidotio::None;
    }
}

EffectKind effectKindOf(const DmEffectSettings& effect) {
    if (dynamic_cast<const DmCompSettings*>(&effect))
        return EffectKind::Comp;
    if (dynamic_cast<const DmAngularMaskSettings*>(&effect))
        return EffectKind::AngularMask;
    if (dynamic_cast<const DmLookSettings*>(&effect))
        return EffectKind::Look;
    if (dynamic_cast<const DmAnnotationSettings*>(&effect))
        return EffectKind::Annotation;
    return EffectKind::Other;
}

std::optional<float> pixelAspectOf(const DmFrameResolution& resolution) {
    float ratio = 0.0f;
    std::int32_t width = -1, height = -1;
    if (resolution.getFrameRatio(ratio) != eDmSuccess || std::fabs(ratio) < FLT_EPSILON ||
        resolution.getWidth(width) != eDmSuccess || resolution.getHeight(height) != eDmSuccess ||
        width == -1 || height == -1 || width <= 0)
        return std::nullopt;
    return static_cast<float>(height) * ratio / static_cast<float>(width);
}

} // namespace ZEM_0_81::Json::EditTree
