#include "interchange/xmeml/ReadReport.h"

#include "interchange/xml/XmlPlace.h"

namespace ZEM_0_81::Interchange::Fcp7 {

void ReadReport::lose(const pugi::xml_node& element, const std::string& what) {
    m_losses.add(String(Xml::placeOf(element).c_str()), String(element.name()),
                 String(what.c_str()));
}

} // namespace ZEM_0_81::Interchange::Fcp7
