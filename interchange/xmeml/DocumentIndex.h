#pragma once

#include <pugixml.hpp>

#include <string>
#include <unordered_map>
#include <vector>

namespace ZEM_0_81::Interchange::Fcp7 {

/// What an xmeml document holds beyond one sequence, found in one walk of it:
/// its sequences (its timelines), and the "file" and "sequence" elements that
/// others refer to by id. A document gives a file in full once, where it is
/// first used, and later only its id ("<file id="file-2"/>"), on any track of
/// any sequence; so does a nested sequence used twice.
class DocumentIndex {
public:
    /// Indexes the document whose root element is `root`, without recursion.
    explicit DocumentIndex(const pugi::xml_node& root);

    /// The sequences that are timelines, in document order: children of the root
    /// element, or of a "children" element of a "project" or "bin" (bins within
    /// bins too). Sequences nested in clips are not among them.
    const std::vector<pugi::xml_node>& sequences() const { return m_sequences; }

    /// The element that gives element `reference` in full: `reference` itself
    /// when it holds child elements, else the first element of its name with
    /// the same "id" that does; an empty node when there is none.
    pugi::xml_node definitionOf(const pugi::xml_node& reference) const;

    /// Visits every element below `root` in document order, without recursion.
    /// `visit(element)` returns whether to visit the element's children too.
    template <class Visit> static void eachElement(const pugi::xml_node& root, Visit visit) {
        pugi::xml_node node = root.first_child();
        while (node) {
            const bool descend = node.type() == pugi::node_element && visit(node);
            if (descend && node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && node != root && !node.next_sibling())
                node = node.parent();
            if (!node || node == root)
                break;
            node = node.next_sibling();
        }
    }

private:
    std::vector<pugi::xml_node> m_sequences;
    std::unordered_map<std::string, pugi::xml_node> m_files;
    std::unordered_map<std::string, pugi::xml_node> m_nested;
};

/// True when `element` holds a child element.
bool holdsElements(const pugi::xml_node& element);

} // namespace ZEM_0_81::Interchange::Fcp7
