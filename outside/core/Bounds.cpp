#include "outside/core/Bounds.h"

#include <algorithm>

namespace ZEM_0_81 {

void Bounds::grow(const Bounds& other) {
    const double left = std::min(m_centerX - m_sizeX / 2, other.m_centerX - other.m_sizeX / 2);
    const double right = std::max(m_centerX + m_sizeX / 2, other.m_centerX + other.m_sizeX / 2);
    const double bottom = std::min(m_centerY - m_sizeY / 2, other.m_centerY - other.m_sizeY / 2);
    const double top = std::max(m_centerY + m_sizeY / 2, other.m_centerY + other.m_sizeY / 2);
    m_centerX = (left + right) / 2;
    m_centerY = (bottom + top) / 2;
    m_sizeX = right - left;
    m_sizeY = top - bottom;
}

} // namespace ZEM_0_81
