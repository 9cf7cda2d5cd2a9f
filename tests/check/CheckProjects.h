// tests/check/CheckProjects.h - short ways to describe the projects the check tests walk
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/builder/ProjectBuilder.h"

namespace pexol::test {

inline build::Clip ClipNamed(std::string name) {
  build::Clip clip;
  clip.name = std::move(name);
  return clip;
}

inline build::ExAudioClip AudioNamed(std::string name) {
  build::ExAudioClip clip;
  clip.name = std::move(name);
  return clip;
}

inline build::TitleElement Element(std::uint32_t value, std::string text) {
  build::TitleElement element;
  element.elementValue = value;
  element.text = std::move(text);
  return element;
}

inline build::Title TitleOf(std::vector<build::TitleElement> elements,
                            std::uint16_t elementKind = 0) {
  build::Title title;
  title.elementKind = elementKind;
  title.elements = std::move(elements);
  return title;
}

inline build::Project ProjectOf(std::uint16_t version, build::Software software,
                                std::vector<build::Clip> main) {
  build::Project project;
  project.version = version;
  project.software = software;
  project.main = std::move(main);
  return project;
}

}  // namespace pexol::test
