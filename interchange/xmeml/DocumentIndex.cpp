#include "interchange/xmeml/DocumentIndex.h"

#include "interchange/xmeml/XmemlNames.h"
#include "interchange/xmeml/XmemlValues.h"

#include <cstring>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

/// Elements that hold timelines: a project, a bin, their children.
bool holdsTimelines(const pugi::xml_node& element) {
    return named(element, "project") || named(element, "bin") || named(element, "children");
}

} // namespace

bool holdsElements(const pugi::xml_node& element) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            return true;
    return false;
}

DocumentIndex::DocumentIndex(const pugi::xml_node& root) {
    eachElement(root, [&](const pugi::xml_node& element) {
        if (named(element, kSequence)) {
            m_sequences.push_back(element);
            return false;
        }
        return holdsTimelines(element);
    });
    // The first full definition of each id counts, wherever it stands.
    eachElement(root, [&](const pugi::xml_node& element) {
        const bool file = named(element, kFile);
        if ((file || named(element, kSequence)) && holdsElements(element)) {
            const char* id = element.attribute(kId).value();
            if (*id)
                (file ? m_files : m_nested).emplace(id, element);
        }
        return true;
    });
}

pugi::xml_node DocumentIndex::definitionOf(const pugi::xml_node& reference) const {
    if (holdsElements(reference))
        return reference;
    const char* id = reference.attribute(kId).value();
    if (!*id)
        return pugi::xml_node();
    const auto& map = named(reference, kFile) ? m_files : m_nested;
    const auto found = map.find(id);
    return found == map.end() ? pugi::xml_node() : found->second;
}

} // namespace ZEM_0_81::Interchange::Fcp7
