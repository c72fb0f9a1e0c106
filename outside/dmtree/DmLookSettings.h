#pragma once

#include "outside/dmtree/DmEffectSettings.h"

/// A colour decision: slope, offset and power per channel (red, green, blue) and a
/// saturation, read and written directly. Starts as the identity (slope 1,
/// offset 0, power 1, saturation 1).
class KRDMTREE_API DmLookSettings : public DmEffectSettings {
public:
    /// Identity settings without a reference taken.
    static DmLookSettings* create();

    double slope[3] = {1.0, 1.0, 1.0};
    double offset[3] = {0.0, 0.0, 0.0};
    double power[3] = {1.0, 1.0, 1.0};
    double saturation = 1.0;

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmLookSettings() = default;
    DmLookSettings(const DmLookSettings&) = default;
};
