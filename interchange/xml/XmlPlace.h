#pragma once

#include <pugixml.hpp>

#include <string>
#include <unordered_map>

namespace ZEM_0_81::Interchange::Xml {

/// The place of an element in its document as the loss report names it: its
/// path from the root as XPath writes it, each step the element's name and,
/// when its parent holds other elements of that name, its 1-based index among
/// them ("/fcpxml/library/event[1]/project[2]/sequence/spine/asset-clip[4]").
/// The root element has no index. Empty for a node that is not an element of
/// a document. Found by a walk up the element's ancestors and along their
/// siblings, without recursion.
std::string placeOf(const pugi::xml_node& element);

/// The step of `element` within its parent, as placeOf writes it:
/// "asset-clip[4]", or "spine" when it is the only one of its name.
std::string stepOf(const pugi::xml_node& element);

/// placeOf for many elements of one document: the steps of each parent's
/// children are found in one pass over them and kept, so that naming every
/// child of a long list costs the list's length, not its square. The document
/// must outlive the places and not change meanwhile.
class Places {
public:
    /// The place of `element`, as placeOf gives it.
    std::string placeOf(const pugi::xml_node& element);

private:
    /// The step of `element`, from its parent's children found at once.
    const std::string& stepOf(const pugi::xml_node& element);

    std::unordered_map<const void*, std::unordered_map<const void*, std::string>> m_steps;
};

} // namespace ZEM_0_81::Interchange::Xml
