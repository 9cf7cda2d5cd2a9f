// tests/export/XmlRead.h - exported XML documents read back with libxml2 and XPath
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>
#include <string>
#include <vector>

namespace pexol::test {

/// A parsed document; `Loaded` is false when the text is not well-formed XML.
class XmlRead {
 public:
  explicit XmlRead(const std::string& text)
      : document_(xmlReadMemory(text.data(), static_cast<int>(text.size()), "export.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR),
                  &xmlFreeDoc) {}

  bool Loaded() const { return document_ != nullptr; }

  /// The nodes `path` selects, from `from` (the document when null).
  std::vector<xmlNode*> Nodes(const std::string& path, xmlNode* from = nullptr) const {
    std::vector<xmlNode*> nodes;
    if (!document_) return nodes;
    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
        xmlXPathNewContext(document_.get()), &xmlXPathFreeContext);
    if (from) context->node = from;
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.c_str()), context.get()),
        &xmlXPathFreeObject);
    if (!result || !result->nodesetval) return nodes;
    for (int i = 0; i < result->nodesetval->nodeNr; ++i)
      nodes.push_back(result->nodesetval->nodeTab[i]);
    return nodes;
  }

  /// The text of every node `path` selects.
  std::vector<std::string> Texts(const std::string& path, xmlNode* from = nullptr) const {
    std::vector<std::string> texts;
    for (xmlNode* node : Nodes(path, from)) texts.push_back(Text(node));
    return texts;
  }

  /// The text of the first node `path` selects; empty when there is none.
  std::string First(const std::string& path, xmlNode* from = nullptr) const {
    const std::vector<xmlNode*> nodes = Nodes(path, from);
    return nodes.empty() ? std::string() : Text(nodes.front());
  }

  static std::string Text(xmlNode* node) {
    const std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(node), xmlFree);
    return content ? reinterpret_cast<const char*>(content.get()) : "";
  }

 private:
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document_;
};

}  // namespace pexol::test
