#pragma once

#include <pugixml.hpp>

#include <string>

namespace ZEM_0_81::Interchange::Xml {

/// The place of an element in its document, as every XML format names the place
/// of a loss: the path of element names from the root, as XPath writes it, each
/// name followed by its 1-based position among the siblings of that name when
/// its parent holds more than one ("/xmeml/sequence/media/video/track[2]/
/// clipitem[5]"). An attribute's place is its element's followed by "/@name";
/// any other node's is that of the element holding it. "/" for the document or
/// an empty node. Found by walking up the parents, never by recursion.
std::string placeOf(const pugi::xml_node& node);

/// The place of `attribute` of `owner`: "/xmeml/sequence/@id".
std::string placeOf(const pugi::xml_node& owner, const pugi::xml_attribute& attribute);

} // namespace ZEM_0_81::Interchange::Xml
