#pragma once

#include "interchange/LossReport.h"

#include <pugixml.hpp>

#include <string>

namespace ZEM_0_81::Interchange::Fcp7 {

/// The losses of reading a document: each at the place of its element (an
/// element path, Xml::placeOf), the element's name as its schema.
class ReadReport {
public:
    explicit ReadReport(LossReport& losses) : m_losses(losses) {}

    /// Reports `what` happened to `element`.
    void lose(const pugi::xml_node& element, const std::string& what);

    /// The report itself, for a reader that names its own places.
    LossReport& losses() { return m_losses; }

private:
    LossReport& m_losses;
};

} // namespace ZEM_0_81::Interchange::Fcp7
