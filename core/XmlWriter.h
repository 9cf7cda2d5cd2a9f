// core/XmlWriter.h - an XML document written element by element, the same bytes on every build
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pexol {

/// Streams elements into a UTF-8 XML document, one element a line, indented a space a level;
/// text stays on its element's line. Attribute values and text are escaped here, and characters
/// XML 1.0 cannot hold become U+FFFD, so any value gives a document every reader loads.
///
/// Misuse (a second root element, a `Close` with nothing open, an attribute after the element's
/// content, text, a doctype or a blank line where none can go) is a programming error: it
/// asserts, and where assertions are off the call writes nothing. The writer throws nothing but
/// `std::bad_alloc`, so no document stops halfway on a library's error.
class XmlWriter {
 public:
  /// Starts the document with its XML declaration.
  XmlWriter();

  /// <!DOCTYPE root>, before the root element: for readers that ask a document to name its type.
  void DocType(std::string_view root);
  /// An empty line before the root element (the timeline picture has always had one).
  void BlankLine();
  /// Opens an element; `Close` ends the innermost open one.
  void Open(std::string_view element);
  void Close();
  void Attribute(std::string_view name, std::string_view value);
  void Attribute(std::string_view name, std::int64_t value);
  /// Text in the innermost open element, after its attributes; its end tag follows on its line.
  void Text(std::string_view value);
  /// <element>value</element>.
  void Element(std::string_view element, std::string_view value);
  void Element(std::string_view element, std::int64_t value);
  /// <property name="name">value</property>, how MLT and Kdenlive set a service's property.
  void Property(std::string_view name, std::string_view value);
  void Property(std::string_view name, std::int64_t value);

  /// Ends every open element and returns the document.
  std::string Finish();

 private:
  void EndStartTag(bool newline);

  struct OpenElement {
    std::string name;
    bool tagOpen = true;  ///< "<name attributes" written, its '>' not yet
  };
  std::string out_;
  std::vector<OpenElement> open_;
  bool rootWritten_ = false;
  bool indentEnd_ = true;  ///< false right after text, whose end tag follows it on its line
};

}  // namespace pexol
