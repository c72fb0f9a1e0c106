#pragma once

#include "interchange/xml/XmlPlace.h"

#include <pugixml.hpp>

#include <set>
#include <string>

namespace ZEM_0_81 {
class LossReport;
}

namespace ZEM_0_81::Interchange::Fcpx {

/// The loss report of reading one FCPXML document: each entry's place is the
/// element's path (Xml::placeOf) and its schema the element's name. What the
/// edit tree keeps without playing it is reported in the words standard OTIO's
/// reader uses (ForeignMembers::Leftovers::kKeptNote).
class ElementReport {
public:
    explicit ElementReport(LossReport& losses) : m_losses(losses) {}

    /// Reports that `element` did not come in as it stood, and why; once,
    /// however often the reader meets the same attribute of it.
    void lose(const pugi::xml_node& element, const std::string& what);

    /// The number of entries reported so far.
    std::size_t count() const;

private:
    LossReport& m_losses;
    Xml::Places m_places;
    std::set<std::pair<const void*, std::string>> m_said;
};

} // namespace ZEM_0_81::Interchange::Fcpx
