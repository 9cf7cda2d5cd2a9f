// core/XmlWriter.cpp - the element writer of every XML export and of the timeline picture
#include "core/XmlWriter.h"

#include <cassert>

#include "core/XmlText.h"

namespace pexol {

XmlWriter::XmlWriter() : out_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::EndStartTag(bool newline) {
  if (open_.empty() || !open_.back().tagOpen) return;
  out_ += newline ? ">\n" : ">";
  open_.back().tagOpen = false;
}

void XmlWriter::DocType(std::string_view root) {
  assert(!rootWritten_ && "a doctype goes before the root element");
  if (rootWritten_) return;
  out_ += "<!DOCTYPE ";
  out_ += root;
  out_ += ">\n";
}

void XmlWriter::BlankLine() {
  assert(!rootWritten_ && "a blank line goes before the root element");
  if (!rootWritten_) out_ += '\n';
}

void XmlWriter::Open(std::string_view element) {
  assert((!open_.empty() || !rootWritten_) && "a document has one root element");
  if (open_.empty() && rootWritten_) return;
  EndStartTag(true);
  out_.append(open_.size(), ' ');
  out_ += '<';
  out_ += element;
  open_.push_back({std::string(element)});
  rootWritten_ = true;
}

void XmlWriter::Close() {
  assert(!open_.empty() && "no element to close");
  if (open_.empty()) return;
  const OpenElement& element = open_.back();
  if (element.tagOpen) {
    out_ += "/>";
  } else {
    if (indentEnd_) out_.append(open_.size() - 1, ' ');
    out_ += "</";
    out_ += element.name;
    out_ += '>';
  }
  out_ += '\n';
  indentEnd_ = true;
  open_.pop_back();
}

void XmlWriter::Attribute(std::string_view name, std::string_view value) {
  assert(!open_.empty() && open_.back().tagOpen && "an attribute goes before the content");
  if (open_.empty() || !open_.back().tagOpen) return;
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendXmlEscaped(out_, value, true);
  out_ += '"';
}

void XmlWriter::Attribute(std::string_view name, std::int64_t value) {
  Attribute(name, std::to_string(value));
}

void XmlWriter::Text(std::string_view value) {
  assert(!open_.empty() && "text goes inside an element");
  if (open_.empty()) return;
  EndStartTag(false);
  AppendXmlEscaped(out_, value, false);
  indentEnd_ = false;
}

void XmlWriter::Element(std::string_view element, std::string_view value) {
  Open(element);
  Text(value);
  Close();
}

void XmlWriter::Element(std::string_view element, std::int64_t value) {
  Element(element, std::to_string(value));
}

void XmlWriter::Property(std::string_view name, std::string_view value) {
  Open("property");
  Attribute("name", name);
  Text(value);
  Close();
}

void XmlWriter::Property(std::string_view name, std::int64_t value) {
  Property(name, std::to_string(value));
}

std::string XmlWriter::Finish() {
  while (!open_.empty()) Close();
  return std::move(out_);
}

}  // namespace pexol
