// export/XmlWriter.cpp - RAII ownership of libxml2's buffer and text writer
#include "export/XmlWriter.h"

#include <libxml/xmlwriter.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace pexol {
namespace {

const xmlChar* Xml(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

// XML 1.0 holds no control characters but tab, LF and CR: any other is written as U+FFFD, so
// that a name holding one still gives a document every reader loads.
std::string Holdable(const std::string& text) {
  const auto control = [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
  };
  if (std::none_of(text.begin(), text.end(), control)) return text;
  std::string held;
  for (const char c : text) held += control(c) ? std::string("\xEF\xBF\xBD") : std::string(1, c);
  return held;
}

void Check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string("XML writer failed: ") + what);
}

}  // namespace

struct XmlWriter::State {
  struct BufferFree {
    void operator()(xmlBufferPtr buffer) const { xmlBufferFree(buffer); }
  };
  struct WriterFree {
    void operator()(xmlTextWriterPtr writer) const { xmlFreeTextWriter(writer); }
  };
  std::unique_ptr<xmlBuffer, BufferFree> buffer;
  std::unique_ptr<xmlTextWriter, WriterFree> writer;
};

XmlWriter::XmlWriter() : state_(std::make_unique<State>()) {
  state_->buffer.reset(xmlBufferCreate());
  if (!state_->buffer) throw std::runtime_error("XML writer failed: no buffer");
  state_->writer.reset(xmlNewTextWriterMemory(state_->buffer.get(), 0));
  if (!state_->writer) throw std::runtime_error("XML writer failed: no writer");
  Check(xmlTextWriterSetIndent(state_->writer.get(), 1), "indent");
  Check(xmlTextWriterSetIndentString(state_->writer.get(), Xml(" ")), "indent");
  Check(xmlTextWriterStartDocument(state_->writer.get(), "1.0", "utf-8", nullptr), "start");
}

XmlWriter::~XmlWriter() = default;

void XmlWriter::DocType(const char* root) {
  // Written as it stands: the DTD writer would lay it out differently from the plain writer.
  const std::string line = std::string("<!DOCTYPE ") + root + ">\n";
  Check(xmlTextWriterWriteRaw(state_->writer.get(), Xml(line.c_str())), "doctype");
}

void XmlWriter::Open(const char* element) {
  Check(xmlTextWriterStartElement(state_->writer.get(), Xml(element)), element);
}

void XmlWriter::Close() {
  Check(xmlTextWriterEndElement(state_->writer.get()), "end element");
}

void XmlWriter::Attribute(const char* name, const std::string& value) {
  Check(xmlTextWriterWriteAttribute(state_->writer.get(), Xml(name), Xml(Holdable(value).c_str())),
        name);
}

void XmlWriter::Attribute(const char* name, std::int64_t value) {
  Attribute(name, std::to_string(value));
}

void XmlWriter::Text(const std::string& value) {
  Check(xmlTextWriterWriteString(state_->writer.get(), Xml(Holdable(value).c_str())), "text");
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
  Check(xmlTextWriterEndDocument(state_->writer.get()), "end document");
  state_->writer.reset();  // flushes into the buffer
  const xmlChar* content = xmlBufferContent(state_->buffer.get());
  return std::string(reinterpret_cast<const char*>(content),
                     static_cast<std::size_t>(xmlBufferLength(state_->buffer.get())));
}

}  // namespace pexol
