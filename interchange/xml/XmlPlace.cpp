#include "interchange/xml/XmlPlace.h"

#include <cstring>
#include <vector>

namespace ZEM_0_81::Interchange::Xml {

namespace {

bool sameName(const pugi::xml_node& a, const pugi::xml_node& b) {
    return a.type() == pugi::node_element && std::strcmp(a.name(), b.name()) == 0;
}

/// "name" or "name[N]" for the element `node`.
std::string step(const pugi::xml_node& node) {
    std::size_t position = 1;
    for (pugi::xml_node before = node.previous_sibling(); before;
         before = before.previous_sibling())
        position += sameName(before, node) ? 1 : 0;
    bool several = position > 1;
    for (pugi::xml_node after = node.next_sibling(); after && !several;
         after = after.next_sibling())
        several = sameName(after, node);
    std::string text = node.name();
    if (several)
        text += "[" + std::to_string(position) + "]";
    return text;
}

} // namespace

std::string placeOf(const pugi::xml_node& node) {
    pugi::xml_node element = node;
    while (element && element.type() != pugi::node_element)
        element = element.parent();
    std::vector<std::string> steps;
    for (; element && element.type() == pugi::node_element; element = element.parent())
        steps.push_back(step(element));
    if (steps.empty())
        return "/";
    std::string place;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        place += "/" + *it;
    return place;
}

std::string placeOf(const pugi::xml_node& owner, const pugi::xml_attribute& attribute) {
    const std::string element = placeOf(owner);
    return (element == "/" ? std::string() : element) + "/@" + attribute.name();
}

} // namespace ZEM_0_81::Interchange::Xml
