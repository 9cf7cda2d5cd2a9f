// picture/SvgWriter.cpp - the timeline picture's document, written by the one XML writer, and
// the tree a window draws it from
#include "picture/SvgWriter.h"

#include <cmath>
#include <cstdio>

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
  xml_.BlankLine();
  Open("svg");
  Attribute("xmlns", "http://www.w3.org/2000/svg");
  Attribute("version", "1.2");
  Attribute("baseProfile", "tiny");
  Attribute("width", width);
  Attribute("height", height);
  Attribute("viewBox", "0 0 " + SvgNumber(width) + " " + SvgNumber(height));
}

void SvgWriter::Open(std::string_view element) {
  xml_.Open(element);
  building_.push_back({std::string(element)});
}

void SvgWriter::Close() {
  xml_.Close();  // misuse asserts there
  if (building_.empty()) return;
  SvgElement closed = std::move(building_.back());
  building_.pop_back();
  if (building_.empty())
    tree_ = std::move(closed);
  else
    building_.back().children.push_back(std::move(closed));
}

void SvgWriter::Attribute(std::string_view name, std::string_view value) {
  xml_.Attribute(name, value);
  if (!building_.empty()) building_.back().attributes.emplace_back(name, value);
}

void SvgWriter::Attribute(std::string_view name, double value) {
  Attribute(name, SvgNumber(value));
}

void SvgWriter::Text(std::string_view text) {
  xml_.Text(text);
  if (!building_.empty()) building_.back().text += text;
}

void SvgWriter::TextElement(std::string_view element, std::string_view text) {
  Open(element);
  Text(text);
  Close();
}

std::string SvgWriter::Finish() {
  while (!building_.empty()) Close();
  return xml_.Finish();
}

}  // namespace pexol
