// The document tree of the XML classes, shared by XMLNode and XML. A node is a
// plain script object with nodeType, nodeName, nodeValue and attributes of its
// own; its children are the object's element list and its parent the object's
// primitive slot, so scripts reach the structure only through the node
// methods, which keep it a tree (no node becomes its own ancestor).
#pragma once

#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

struct XmlDocument;

inline constexpr int kXmlElement = 1;
inline constexpr int kXmlText = 3;

// A new node with the XMLNode prototype: an element named `text` or a text node holding it.
ActionObject* newXmlNode(Machine& m, int type, const Value& text);
// Makes `object` a node without children.
void initXmlNode(Machine& m, ActionObject* object, int type, const Value& text);
bool isXmlNode(const Value& value);
// Drops every child of `node`.
void clearXmlChildren(ActionObject* node);
// Appends the parsed document's top-level nodes to `node`.
void appendParsedXml(Machine& m, ActionObject* node, const XmlDocument& doc);
// The node as XML text (for the document node: its children one after another).
std::u16string xmlText(Machine& m, ActionObject* node);

} // namespace lumbra::movie
