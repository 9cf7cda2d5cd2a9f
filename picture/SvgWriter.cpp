// picture/SvgWriter.cpp - the escaping element writer of the timeline picture
#include "picture/SvgWriter.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/XmlText.h"

namespace pexol {

std::string SvgNumber(double value) {
  const double rounded = std::round(value * 100) / 100;
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", rounded == 0 ? 0.0 : rounded);
  std::string number = text;
  while (number.back() == '0') number.pop_back();
  if (number.back() == '.') number.pop_back();
  return number;
}

std::string_view SvgElement::Get(std::string_view attribute) const {
  for (const auto& [name, value] : attributes)
    if (name == attribute) return value;
  return {};
}

SvgWriter::SvgWriter(double width, double height) {
  out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  Open("svg");
  Attribute("xmlns", "http://www.w3.org/2000/svg");
  Attribute("version", "1.2");
  Attribute("baseProfile", "tiny");
  Attribute("width", width);
  Attribute("height", height);
  Attribute("viewBox", "0 0 " + SvgNumber(width) + " " + SvgNumber(height));
}

void SvgWriter::EndStartTag() {
  if (open_.empty() || !open_.back().tagOpen) return;
  out_ += '>';
  open_.back().tagOpen = false;
}

void SvgWriter::Open(std::string_view element) {
  EndStartTag();
  out_ += '\n';
  out_.append(open_.size(), ' ');
  out_ += '<';
  out_ += element;
  open_.push_back({std::string(element)});
  building_.push_back({std::string(element)});
}

void SvgWriter::Close() {
  if (open_.empty()) throw std::logic_error("SVG writer: no element to close");
  const Element& element = open_.back();
  if (element.tagOpen) {
    out_ += "/>";
  } else {
    if (!element.hasText) {
      out_ += '\n';
      out_.append(open_.size() - 1, ' ');
    }
    out_ += "</" + element.name + '>';
  }
  open_.pop_back();
  SvgElement closed = std::move(building_.back());
  building_.pop_back();
  if (building_.empty())
    tree_ = std::move(closed);
  else
    building_.back().children.push_back(std::move(closed));
}

void SvgWriter::Attribute(std::string_view name, std::string_view value) {
  if (open_.empty() || !open_.back().tagOpen)
    throw std::logic_error("SVG writer: an attribute after the element's content");
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendXmlEscaped(out_, value, true);
  out_ += '"';
  building_.back().attributes.emplace_back(std::string(name), std::string(value));
}

void SvgWriter::Attribute(std::string_view name, double value) {
  Attribute(name, SvgNumber(value));
}

void SvgWriter::Text(std::string_view text) {
  if (open_.empty()) throw std::logic_error("SVG writer: text outside the document");
  EndStartTag();
  open_.back().hasText = true;
  AppendXmlEscaped(out_, text, false);
  building_.back().text += text;
}

void SvgWriter::TextElement(std::string_view element, std::string_view text) {
  Open(element);
  Text(text);
  Close();
}

std::string SvgWriter::Finish() {
  while (!open_.empty()) Close();
  out_ += '\n';
  return std::move(out_);
}

}  // namespace pexol
