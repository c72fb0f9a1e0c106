#pragma once

#include "outside/dmtree/DmPropertySet.h"

#include <cstddef>
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

    /// Appends a point. Strokes are drawn by hand and hold many points: the list
    /// starts with room for kInitialPoints and then doubles, instead of growing
    /// one point at a time at first.
    void addPoint(double x, double y, double width) {
        if (m_points.size() == m_points.capacity())
            m_points.reserve(m_points.empty() ? kInitialPoints : 2 * m_points.size());
        m_points.push_back(Point{x, y, width});
    }
    std::uint32_t getNbPoints() const { return static_cast<std::uint32_t>(m_points.size()); }
    /// Point `index`; false and the outs untouched past the end.
    bool getPointData(std::uint32_t index, double& x, double& y, double& size) const;

    void setType(DmString type) { m_type = std::move(type); }
    DmString getType() const { return m_type; }
    void setBrush(DmString brush) { m_brush = std::move(brush); }
    DmString getBrush() const { return m_brush; }

    CoSharedPtr<DmPropertySet> clone() const override;

    /// Points a stroke has room for once it holds one.
    static constexpr std::size_t kInitialPoints = 32;

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
