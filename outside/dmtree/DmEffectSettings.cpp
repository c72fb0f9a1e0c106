#include "outside/dmtree/DmEffectSettings.h"

DmEffectSettings::~DmEffectSettings() = default;
