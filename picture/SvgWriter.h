// picture/SvgWriter.h - an SVG document streamed element by element, every value escaped
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/XmlWriter.h"

namespace pexol {

/// One element of a document as it was written: what a window draws the picture from without
/// reading the SVG back. Values are unescaped, numbers as the document writes them.
struct SvgElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes = {};
  std::string text = {};
  std::vector<SvgElement> children = {};

  /// The value of attribute `attribute`; empty when it has none.
  std::string_view Get(std::string_view attribute) const;
};

/// Streams elements into a UTF-8 SVG document through `XmlWriter`, keeping the tree beside it.
/// Names and labels go in only as attribute values or text, which are escaped; characters XML
/// cannot hold become U+FFFD. Misuse asserts, as the XML writer's does.
class SvgWriter {
 public:
  /// Opens the <svg> root `width` by `height` user units.
  SvgWriter(double width, double height);

  /// Opens an element; `Close` ends the innermost open one.
  void Open(std::string_view element);
  void Close();
  void Attribute(std::string_view name, std::string_view value);
  void Attribute(std::string_view name, double value);
  /// Text content of the open element.
  void Text(std::string_view text);
  /// An element holding only `text`.
  void TextElement(std::string_view element, std::string_view text);

  /// Ends every open element and returns the document.
  std::string Finish();
  /// The <svg> root element and all it holds, after `Finish`.
  SvgElement TakeTree() { return std::move(tree_); }

 private:
  XmlWriter xml_;
  std::vector<SvgElement> building_;  ///< the open elements, innermost last
  SvgElement tree_;
};

/// A number as SVG writes it: at most two decimals, no trailing zeros.
std::string SvgNumber(double value);

}  // namespace pexol
