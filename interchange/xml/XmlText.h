#pragma once

#include "interchange/places/TextLines.h"

#include <pugixml.hpp>

#include <cstddef>
#include <string>

namespace ZEM_0_81::Interchange::Xml {

/// Reads `length` bytes of `text` as an XML document into `document`, as every
/// XML format of the library reads its files: UTF-8, the five entities of XML
/// (&lt; &gt; &amp; &apos; &quot;) and character references replaced, line
/// ends as LF, comments and processing instructions left out.
///
/// Entities are never read: a document type that declares any (an internal
/// subset holding <!ENTITY, the "billion laughs" and external entities among
/// them), and a reference to any entity other than XML's five, fail the read
/// before a document is built, as a hardened reader refuses them; nothing is
/// expanded and nothing is fetched. A document type without declarations
/// (<!DOCTYPE xmeml>, one naming an outside DTD) is passed over.
///
/// On failure returns false with `message` "line N: why", N found by `lines`
/// (which must describe `text`).
bool load(const char* text, std::size_t length, const TextLines& lines,
          pugi::xml_document& document, std::string& message);

/// The name of the root element of `length` bytes of `text` as written (with
/// its prefix, if any), found by a scan of its start that passes over a UTF-8
/// byte-order mark, white space, the XML declaration, processing instructions,
/// comments and the document type: "xmeml" for "<?xml ...?><!DOCTYPE xmeml>
/// <xmeml version=\"5\">". Empty when the text does not start as XML does.
/// Builds nothing: dialect detection calls it on every text.
std::string rootElementOf(const char* text, std::size_t length);

} // namespace ZEM_0_81::Interchange::Xml
