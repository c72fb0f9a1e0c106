#pragma once

#include "outside/core/CoreApi.h"

namespace ZEM_0_81 {

/// An axis-aligned box given by its centre and its size per axis:
/// [cx - sx/2, cx + sx/2] x [cy - sy/2, cy + sy/2]. Default: all 0, the point at the origin.
class ZEMCORE_API Bounds {
public:
    Bounds() = default;
    Bounds(double centerX, double centerY, double sizeX, double sizeY)
        : m_centerX(centerX), m_centerY(centerY), m_sizeX(sizeX), m_sizeY(sizeY) {}

    double getCenterX() const { return m_centerX; }
    double getCenterY() const { return m_centerY; }
    double getSizeX() const { return m_sizeX; }
    double getSizeY() const { return m_sizeY; }

    void setCenterX(double value) { m_centerX = value; }
    void setCenterY(double value) { m_centerY = value; }
    void setSizeX(double value) { m_sizeX = value; }
    void setSizeY(double value) { m_sizeY = value; }

    /// Replaces this box by the smallest box holding both boxes. A box of size 0 is
    /// the point at its centre, so an all-zero box keeps the origin in the result.
    void grow(const Bounds& other);

    bool operator==(const Bounds& other) const {
        return m_centerX == other.m_centerX && m_centerY == other.m_centerY &&
               m_sizeX == other.m_sizeX && m_sizeY == other.m_sizeY;
    }
    bool operator!=(const Bounds& other) const { return !(*this == other); }

private:
    double m_centerX = 0.0;
    double m_centerY = 0.0;
    double m_sizeX = 0.0;
    double m_sizeY = 0.0;
};

} // namespace ZEM_0_81
