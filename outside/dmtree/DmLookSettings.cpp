#include "outside/dmtree/DmLookSettings.h"

DmLookSettings* DmLookSettings::create() {
    return new DmLookSettings();
}

const char* DmLookSettings::getName() const {
    return "DmLookSettings";
}

CoSharedPtr<DmPropertySet> DmLookSettings::clone() const {
    return new DmLookSettings(*this);
}
