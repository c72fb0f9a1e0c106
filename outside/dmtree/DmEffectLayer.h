#pragma once

#include "outside/dmtree/DmEffectSettings.h"

/// Base of an annotation's layers: a frame range (start and duration, 0 until
/// set), hold, ghosting (off) with the number of ghost frames before and after
/// (3 each until set).
class KRDMTREE_API DmEffectLayer : public DmEffectSettings {
public:
    ~DmEffectLayer() override;

    void setFrameRange(std::int32_t start, std::uint32_t duration) {
        m_startFrame = start;
        m_duration = duration;
    }
    std::int32_t getStartFrame() const { return m_startFrame; }
    std::uint32_t getDuration() const { return m_duration; }
    void setHold(bool hold) { m_hold = hold; }
    bool isHold() const { return m_hold; }
    void setGhost(bool ghost) { m_ghost = ghost; }
    bool isGhost() const { return m_ghost; }
    void setGhostBefore(std::uint32_t frames) { m_ghostBefore = frames; }
    std::uint32_t getGhostBefore() const { return m_ghostBefore; }
    void setGhostAfter(std::uint32_t frames) { m_ghostAfter = frames; }
    std::uint32_t getGhostAfter() const { return m_ghostAfter; }

protected:
    DmEffectLayer() = default;
    DmEffectLayer(const DmEffectLayer&) = default;

private:
    std::int32_t m_startFrame = 0;
    std::uint32_t m_duration = 0;
    bool m_hold = false;
    bool m_ghost = false;
    std::uint32_t m_ghostBefore = 3;
    std::uint32_t m_ghostAfter = 3;
};
