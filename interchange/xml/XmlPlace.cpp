#include "interchange/xml/XmlPlace.h"

#include <cstring>
#include <vector>

namespace ZEM_0_81::Interchange::Xml {

std::string stepOf(const pugi::xml_node& element) {
    const char* name = element.name();
    std::size_t index = 1;
    bool others = false;
    for (pugi::xml_node sibling = element.previous_sibling(); sibling;
         sibling = sibling.previous_sibling())
        if (sibling.type() == pugi::node_element && std::strcmp(sibling.name(), name) == 0) {
            ++index;
            others = true;
        }
    if (!others)
        for (pugi::xml_node sibling = element.next_sibling(); sibling && !others;
             sibling = sibling.next_sibling())
            others = sibling.type() == pugi::node_element && std::strcmp(sibling.name(), name) == 0;
    std::string step = name;
    if (others && element.parent().type() == pugi::node_element)
        step += "[" + std::to_string(index) + "]";
    return step;
}

std::string placeOf(const pugi::xml_node& element) {
    if (element.type() != pugi::node_element)
        return {};
    std::vector<std::string> steps;
    for (pugi::xml_node node = element; node && node.type() == pugi::node_element;
         node = node.parent())
        steps.push_back(stepOf(node));
    std::string place;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        place += "/" + *step;
    return place;
}

const std::string& Places::stepOf(const pugi::xml_node& element) {
    const pugi::xml_node parent = element.parent();
    auto& steps = m_steps[parent.internal_object()];
    if (steps.empty()) {
        // Every child element of the parent at once: how many of each name,
        // then each one's index among them.
        std::unordered_map<std::string, std::size_t> totals;
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element)
                ++totals[child.name()];
        std::unordered_map<std::string, std::size_t> seen;
        const bool indexed = parent.type() == pugi::node_element;
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            const std::string name = child.name();
            const std::size_t index = ++seen[name];
            steps[child.internal_object()] =
                indexed && totals[name] > 1 ? name + "[" + std::to_string(index) + "]" : name;
        }
    }
    return steps[element.internal_object()];
}

std::string Places::placeOf(const pugi::xml_node& element) {
    if (element.type() != pugi::node_element)
        return {};
    std::vector<const std::string*> steps;
    for (pugi::xml_node node = element; node && node.type() == pugi::node_element;
         node = node.parent())
        steps.push_back(&stepOf(node));
    std::string place;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        place += "/" + **step;
    return place;
}

} // namespace ZEM_0_81::Interchange::Xml
