// export/XmlWriter.h - an XML document built in memory with libxml2's text writer
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pexol {

/// Streams elements into a UTF-8 XML document; libxml2 escapes attribute values and text.
/// Throws std::runtime_error when libxml2 reports a failure.
class XmlWriter {
 public:
  XmlWriter();
  ~XmlWriter();
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  /// <!DOCTYPE root>, before the root element: for readers that ask a document to name its type.
  void DocType(const char* root);
  /// Opens an element; `Close` ends the innermost open one.
  void Open(const char* element);
  void Close();
  void Attribute(const char* name, const std::string& value);
  void Attribute(const char* name, std::int64_t value);
  /// Text in the innermost open element, after its attributes; its end tag follows on its line.
  void Text(const std::string& value);
  /// <element>value</element>.
  void Element(const char* element, const std::string& value);
  void Element(const char* element, std::int64_t value);
  /// <property name="name">value</property>, MLT's way of setting a service's property.
  void Property(const char* name, const std::string& value);
  void Property(const char* name, std::int64_t value);

  /// Ends every open element and returns the document.
  std::string Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace pexol
