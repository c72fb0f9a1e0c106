#include "interchange/fcpxml/TimeMap.h"

namespace ZEM_0_81::Interchange::Fcpx {

Time TimeMap::at(const Time& t) const {
    if (points.empty())
        return t;
    if (t <= points.front().first)
        return points.front().second;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto& [t0, v0] = points[i - 1];
        const auto& [t1, v1] = points[i];
        if (t <= t1)
            return t1 == t0 ? v1 : v0 + (v1 - v0) * ((t - t0) / (t1 - t0));
    }
    return points.back().second;
}

TimeMap TimeMap::read(const pugi::xml_node& timeMap, ElementReport* report) {
    TimeMap map;
    for (const pugi::xml_node point : timeMap.children("timept")) {
        Time time, value;
        if (!parseTime(point.attribute("time").value(), time) ||
            !parseTime(point.attribute("value").value(), value)) {
            if (report)
                report->lose(point, "not read: its time or value is no time");
            continue;
        }
        if (!map.points.empty() && time < map.points.back().first) {
            if (report)
                report->lose(point, "not read: its time comes before the point before it");
            continue;
        }
        map.points.emplace_back(time, value);
    }
    return map;
}

} // namespace ZEM_0_81::Interchange::Fcpx
