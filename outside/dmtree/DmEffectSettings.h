#pragma once

#include "outside/dmtree/DmPropertySet.h"

/// Base of the effects a segment carries, and of the layers of an annotation:
/// a mute switch (off until set) and a name accessor giving the class name.
class KRDMTREE_API DmEffectSettings : public DmPropertySet {
public:
    ~DmEffectSettings() override;

    void setMuted(bool muted) { m_muted = muted; }
    bool isMuted() const { return m_muted; }
    /// The class name, e.g. "DmCompSettings"; never null.
    virtual const char* getName() const = 0;

protected:
    DmEffectSettings() = default;
    DmEffectSettings(const DmEffectSettings&) = default;

private:
    bool m_muted = false;
};
