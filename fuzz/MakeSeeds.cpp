// fuzz/MakeSeeds.cpp - pexol-fuzz-seeds: writes the small seed corpus of every fuzz target
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "fuzz/FuzzInputs.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

namespace fs = std::filesystem;
using namespace pexol;
using namespace pexol::fuzz;

std::string TextPart(const std::string& text) {
  const std::size_t end = text.find("[END]\r\n");
  return end == std::string::npos ? text : text.substr(0, end + 7);
}

void Write(const fs::path& folder, Target target, const std::string& name,
           const std::string& bytes) {
  const fs::path file = folder / std::string(TargetName(target)) / name;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string WithChoice(char choice, const std::string& bytes) {
  return std::string(1, choice) + bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: pexol-fuzz-seeds FOLDER\n";
    return 2;
  }
  const fs::path folder = argv[1];
  const std::string small = build::BuildProject(SeedProject(0x207, build::Software::CorvaneBrisko));
  const std::string lumetta = build::BuildProject(SeedProject(0x207, build::Software::Lumetta));
  const std::string old = build::BuildProject(SeedProject(0x1FF, build::Software::CorvaneBrisko));
  build::Project emptyShape = SeedProject(0x205, build::Software::CorvaneBrisko);
  emptyShape.main.clear();
  const std::string empty = build::BuildProject(emptyShape);
  const std::string random =
      build::BuildProject(build::RandomProject(2, 0x207, build::Software::CorvaneBrisko));

  // Choice bytes: software in bit 0, timecode mode in bits 1-2, CSV in bit 3.
  for (Target target :
       {Target::ProjectToText, Target::MediaCheck, Target::Export, Target::Picture}) {
    Write(folder, target, "small", WithChoice(0x00, small));
    Write(folder, target, "small-csv-pal", WithChoice(0x0A, small));
    Write(folder, target, "lumetta-frame", WithChoice(0x05, lumetta));
    Write(folder, target, "version-1ff", WithChoice(0x06, old));
    Write(folder, target, "empty-main", WithChoice(0x08, empty));
    Write(folder, target, "random-2", WithChoice(0x00, random));
  }
  // Clips that reach far: the picture is drawn at the scale that fits its widest.
  Write(folder, Target::Picture, "huge-span",
        WithChoice(0x00, build::BuildProject(
                             build::RandomProject(3, 0x207, build::Software::CorvaneBrisko))));
  Write(folder, Target::Picture, "long-span-frames",
        WithChoice(0x04,
                   build::BuildProject(build::RandomProject(1, 0x1FF, build::Software::Lumetta))));
  // Fixed projects 0 (the seed project), 3 (as "Lumetta" writes it) and 5 (no main clips).
  const auto& fixed = FixedProjects();
  for (std::size_t i : {0u, 3u, 5u}) {
    const char choice = static_cast<char>(i);
    Write(folder, Target::TextToProject, "fixed-" + std::to_string(i),
          WithChoice(choice, TextPart(fixed[i].text)));
    Write(folder, Target::SourceToProject, "fixed-" + std::to_string(i),
          WithChoice(choice, fixed[i].bytes));
  }
  Write(folder, Target::TextScanner, "demo-text", fixed[4].text);
  Write(folder, Target::TextScanner, "fields",
        "[mainav]\r\n\"a,\\\"b\\\\\",c,\"\\r\\n\"x,,\r\nColorClip(type=1,count=2),in=-7=3\n\r\n");
  return 0;
}
