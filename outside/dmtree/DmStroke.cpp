#include "outside/dmtree/DmStroke.h"

DmStroke* DmStroke::create() {
    return new DmStroke();
}

void DmStroke::setColor(float r, float g, float b, float a) {
    m_hasColor = true;
    m_color[0] = r;
    m_color[1] = g;
    m_color[2] = b;
    m_color[3] = a;
}

bool DmStroke::getColor(float& r, float& g, float& b, float& a) const {
    if (!m_hasColor)
        return false;
    r = m_color[0];
    g = m_color[1];
    b = m_color[2];
    a = m_color[3];
    return true;
}

bool DmStroke::getPointData(std::uint32_t index, double& x, double& y, double& size) const {
    if (index >= m_points.size())
        return false;
    x = m_points[index].x;
    y = m_points[index].y;
    size = m_points[index].width;
    return true;
}

CoSharedPtr<DmPropertySet> DmStroke::clone() const {
    return new DmStroke(*this);
}
