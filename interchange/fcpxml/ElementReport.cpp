#include "interchange/fcpxml/ElementReport.h"

#include "interchange/LossReport.h"

namespace ZEM_0_81::Interchange::Fcpx {

void ElementReport::lose(const pugi::xml_node& element, const std::string& what) {
    if (!m_said.emplace(element.internal_object(), what).second)
        return;
    const std::string place = m_places.placeOf(element);
    const std::string schema = element.name();
    m_losses.add(String(place.c_str(), place.size()), String(schema.c_str(), schema.size()),
                 String(what.c_str(), what.size()));
}

std::size_t ElementReport::count() const {
    return m_losses.getCount();
}

} // namespace ZEM_0_81::Interchange::Fcpx
