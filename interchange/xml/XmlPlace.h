#pragma once

#include <pugixml.hpp>

#include <string>

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

} // namespace ZEM_0_81::Interchange::Xml
