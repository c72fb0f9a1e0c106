#pragma once

// An SVG text read into a small element tree by a real XML parser (expat), so
// that tests see what a browser would: well-formed or not, entities resolved.

#include <expat.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zemcomp::test {

struct SvgElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text; ///< character data directly inside the element
    std::vector<std::unique_ptr<SvgElement>> children;

    bool has(const std::string& attribute) const { return attributes.count(attribute) != 0; }
    std::string attribute(const std::string& attribute) const {
        const auto found = attributes.find(attribute);
        return found == attributes.end() ? std::string() : found->second;
    }
    double number(const std::string& attribute) const {
        return std::strtod(this->attribute(attribute).c_str(), nullptr);
    }
    /// True when the class attribute holds `word`.
    bool hasClass(const std::string& word) const {
        const std::string classes = " " + attribute("class") + " ";
        return classes.find(" " + word + " ") != std::string::npos;
    }
    /// The first child named `childName`, or null.
    const SvgElement* child(const std::string& childName) const {
        for (const auto& one : children)
            if (one->name == childName)
                return one.get();
        return nullptr;
    }
    /// The text of the first <title> child; empty without one.
    std::string title() const {
        const SvgElement* found = child("title");
        return found ? found->text : std::string();
    }
    /// Every element below this one (not itself), in document order, that is
    /// named `elementName` and, when `word` is not empty, has that class.
    std::vector<const SvgElement*> all(const std::string& elementName,
                                       const std::string& word = "") const {
        std::vector<const SvgElement*> found;
        collect(elementName, word, found);
        return found;
    }

private:
    void collect(const std::string& elementName, const std::string& word,
                 std::vector<const SvgElement*>& found) const {
        for (const auto& one : children) {
            if (one->name == elementName && (word.empty() || one->hasClass(word)))
                found.push_back(one.get());
            one->collect(elementName, word, found);
        }
    }
};

/// A parsed document: its root element, or the parser's error.
struct SvgDocument {
    std::unique_ptr<SvgElement> root;
    std::string error; ///< "LINE:COLUMN: reason" when the text is not well-formed

    static SvgDocument parse(const std::string& text) {
        SvgDocument document;
        std::vector<SvgElement*> open;
        struct State {
            SvgDocument* document;
            std::vector<SvgElement*>* open;
        } state{&document, &open};

        XML_Parser parser = XML_ParserCreate("UTF-8");
        XML_SetUserData(parser, &state);
        XML_SetElementHandler(
            parser,
            [](void* data, const XML_Char* name, const XML_Char** attributes) {
                State& s = *static_cast<State*>(data);
                auto element = std::make_unique<SvgElement>();
                element->name = name;
                for (int i = 0; attributes[i]; i += 2)
                    element->attributes[attributes[i]] = attributes[i + 1];
                SvgElement* raw = element.get();
                if (s.open->empty())
                    s.document->root = std::move(element);
                else
                    s.open->back()->children.push_back(std::move(element));
                s.open->push_back(raw);
            },
            [](void* data, const XML_Char*) { static_cast<State*>(data)->open->pop_back(); });
        XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* characters, int length) {
            State& s = *static_cast<State*>(data);
            if (!s.open->empty())
                s.open->back()->text.append(characters, static_cast<std::size_t>(length));
        });
        if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_ERROR) {
            document.error = std::to_string(XML_GetCurrentLineNumber(parser)) + ":" +
                             std::to_string(XML_GetCurrentColumnNumber(parser)) + ": " +
                             XML_ErrorString(XML_GetErrorCode(parser));
            document.root.reset();
        }
        XML_ParserFree(parser);
        return document;
    }
};

} // namespace zemcomp::test
