#include "outside/dmtree/DmEffectLayer.h"

DmEffectLayer::~DmEffectLayer() = default;
