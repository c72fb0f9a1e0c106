#pragma once

#include "outside/dmtree/DmEffectSettings.h"

/// An angular mask; its values are properties: pivot x and y (doubles) and the
/// angle (a float), under the ids below.
class KRDMTREE_API DmAngularMaskSettings : public DmEffectSettings {
public:
    /// Property ids of the mask's values.
    enum PropertyId : std::int32_t {
        kPivotX = 7, ///< eDmPropDouble
        kPivotY = 8, ///< eDmPropDouble
        kAngle = 9,  ///< eDmPropFloat
    };

    /// A mask without values, without a reference taken.
    static DmAngularMaskSettings* create();

    const char* getName() const override;
    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmAngularMaskSettings() = default;
    DmAngularMaskSettings(const DmAngularMaskSettings&) = default;
};
