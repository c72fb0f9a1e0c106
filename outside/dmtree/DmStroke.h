#pragma once

#include "outside/dmtree/DmPropertySet.h"

#include <vector>

/// A paint stroke: an optional colour, points (x, y, width) in the order added, a
/// type and a brush text ("" until set).
class KRDMTREE_API DmStroke : public DmPropertySet {
public:
    /// A stroke without colour or points, without a reference taken.
    static DmStroke* create();

    void setColor(float r, float g, float b, float a);
    /// The colour; false and the outs untouched until setColor.
    bool getColor(float& r, float& g, float& b, float& a) const;

    void addPoint(double x, double y, double width) { m_points.push_back(Point{x, y, width}); }
    std::uint32_t getNbPoints() const { return static_cast<std::uint32_t>(m_points.size()); }
    /// Point `index`; false and the outs untouched past the end.
    bool getPointData(std::uint32_t index, double& x, double& y, double& size) const;

    void setType(const DmString& type) { m_type = type; }
    DmString getType() const { return m_type; }
    void setBrush(const DmString& brush) { m_brush = brush; }
    DmString getBrush() const { return m_brush; }

    CoSharedPtr<DmPropertySet> clone() const override;

protected:
    DmStroke() = default;
    DmStroke(const DmStroke&) = default;

private:
    struct Point {
        double x;
        double y;
        double width;
    };

    bool m_hasColor = false;
    float m_color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::vector<Point> m_points;
    DmString m_type;
    DmString m_brush;
};
