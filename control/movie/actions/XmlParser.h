// The XML text reader of the XML class: elements with attributes, text,
// CDATA, the XML declaration and DOCTYPE kept as text, comments skipped,
// entities of the five predefined names and character references decoded.
// It never throws: a fault ends the reading with the status code scripts see,
// and the tree read up to that point stays. Open elements are a list, not
// recursion, so deep nesting cannot exhaust the stack.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumbra::movie {

enum XmlStatus : int {
    XmlOk = 0,
    XmlCdataOpen = -2,
    XmlDeclarationOpen = -3,
    XmlDoctypeOpen = -4,
    XmlCommentOpen = -5,
    XmlMalformedElement = -6,
    XmlOutOfMemory = -7,
    XmlBadAttribute = -8,
    XmlEndTagMissing = -9,
    XmlUnexpectedEndTag = -10,
};

struct XmlParsedNode {
    bool element = false;
    std::u16string name;  // elements
    std::u16string value; // text
    std::vector<std::pair<std::u16string, std::u16string>> attributes; // in document order
    std::vector<std::size_t> children; // indices into XmlDocument::nodes
};

// The nodes live in one list (no recursive destruction of deep trees).
struct XmlDocument {
    std::vector<XmlParsedNode> nodes; // nodes[0]: the document, an element without a name
    int status = XmlOk;
    std::u16string xmlDecl;     // every declaration, one after another
    std::u16string docTypeDecl; // empty when there is none
    bool hasXmlDecl = false;
    bool hasDocType = false;
};

// ignoreWhite drops text nodes that hold only white space.
XmlDocument parseXmlText(std::u16string_view text, bool ignoreWhite);

// Text as element content or an attribute value: & < > " ' as entities.
std::u16string escapeXml(std::u16string_view text);

} // namespace lumbra::movie
