// export/XmlWriterPlain.cpp - the XML writer for builds without libxml2 (Windows), writing the
// bytes libxml2's indenting text writer writes, so that both builds export identical documents
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/XmlText.h"
#include "export/XmlWriter.h"

namespace pexol {

namespace {

void Fail(const char* what) {
  throw std::runtime_error(std::string("XML writer failed: ") + what);
}

}  // namespace

struct XmlWriter::State {
  struct Element {
    std::string name;
    bool tagOpen = true;  ///< "<name attributes" written, its '>' not yet
  };
  std::string out;
  std::vector<Element> open;
  bool indentEnd = true;  ///< false right after text, whose end tag follows it on its line

  void Indent(std::size_t depth) { out.append(depth, ' '); }
  void EndStartTag(bool newline) {
    if (open.empty() || !open.back().tagOpen) return;
    out += newline ? ">\n" : ">";
    open.back().tagOpen = false;
  }
};

XmlWriter::XmlWriter() : state_(std::make_unique<State>()) {
  state_->out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
}

XmlWriter::~XmlWriter() = default;

void XmlWriter::DocType(const char* root) {
  if (!state_->open.empty()) Fail("doctype");
  state_->out += std::string("<!DOCTYPE ") + root + ">\n";
}

void XmlWriter::Open(const char* element) {
  state_->EndStartTag(true);
  state_->Indent(state_->open.size());
  state_->out += '<';
  state_->out += element;
  state_->open.push_back({element});
}

void XmlWriter::Close() {
  if (state_->open.empty()) Fail("end element");
  State::Element& element = state_->open.back();
  if (element.tagOpen) {
    state_->out += "/>";
  } else {
    if (state_->indentEnd) state_->Indent(state_->open.size() - 1);
    state_->out += "</" + element.name + '>';
  }
  state_->out += '\n';
  state_->indentEnd = true;
  state_->open.pop_back();
}

void XmlWriter::Attribute(const char* name, const std::string& value) {
  if (state_->open.empty() || !state_->open.back().tagOpen) Fail(name);
  state_->out += ' ';
  state_->out += name;
  state_->out += "=\"";
  AppendXmlEscaped(state_->out, value.c_str(), true);  // libxml2 reads a C string: a NUL ends it
  state_->out += '"';
}

void XmlWriter::Attribute(const char* name, std::int64_t value) {
  Attribute(name, std::to_string(value));
}

void XmlWriter::Text(const std::string& value) {
  if (state_->open.empty()) Fail("text");
  state_->EndStartTag(false);
  AppendXmlEscaped(state_->out, value.c_str(), false);
  state_->indentEnd = false;
}

void XmlWriter::Element(const char* element, const std::string& value) {
  Open(element);
  Text(value);
  Close();
}

void XmlWriter::Element(const char* element, std::int64_t value) {
  Element(element, std::to_string(value));
}

void XmlWriter::Property(const char* name, const std::string& value) {
  Open("property");
  Attribute("name", name);
  Text(value);
  Close();
}

void XmlWriter::Property(const char* name, std::int64_t value) {
  Property(name, std::to_string(value));
}

std::string XmlWriter::Finish() {
  while (!state_->open.empty()) Close();
  return std::move(state_->out);
}

}  // namespace pexol
