#include "outside/dmtree/DmAngularMaskSettings.h"

DmAngularMaskSettings* DmAngularMaskSettings::create() {
    return new DmAngularMaskSettings();
}

const char* DmAngularMaskSettings::getName() const {
    return "DmAngularMaskSettings";
}

CoSharedPtr<DmPropertySet> DmAngularMaskSettings::clone() const {
    return new DmAngularMaskSettings(*this);
}
