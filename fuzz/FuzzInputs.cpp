// fuzz/FuzzInputs.cpp - target names, input decoding and the fixed projects the targets pair with
#include "fuzz/FuzzInputs.h"

#include "convert/ProjectToText.h"
#include "core/ByteWriter.h"
#include "core/RunObserver.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::fuzz {

namespace {

constexpr std::array<std::string_view, allTargets.size()> targetNames = {
    "project-to-text", "text-to-project", "source-to-project",
    "media-check",     "text-scanner",    "relink",
    "export",          "picture"};

FixedProject MakeFixed(build::Project shape, std::uint16_t version, build::Software software) {
  shape.version = version;
  shape.software = software;
  FixedProject fixed;
  fixed.bytes = build::BuildProject(shape);
  fixed.software =
      software == build::Software::Lumetta ? Software::Lumetta : Software::CorvaneBrisko;
  ByteWriter text;
  NullObserver quiet;
  ToTextOptions options;
  options.software = fixed.software;
  ProjectToText(AsBytes(fixed.bytes), options, text, quiet);
  fixed.text = text.TakeBytes();
  return fixed;
}

std::vector<FixedProject> MakeFixedProjects() {
  build::Project emptyMain = build::DemoProject();
  emptyMain.main.clear();
  std::vector<FixedProject> projects;
  for (const auto& [version, software] : {std::pair{0x207, build::Software::CorvaneBrisko},
                                          {0x205, build::Software::CorvaneBrisko},
                                          {0x1FF, build::Software::CorvaneBrisko},
                                          {0x207, build::Software::Lumetta}}) {
    const auto at = static_cast<std::uint16_t>(version);
    projects.push_back(MakeFixed(SeedProject(at, software), at, software));
  }
  projects.push_back(MakeFixed(build::DemoProject(), 0x207, build::Software::CorvaneBrisko));
  projects.push_back(MakeFixed(emptyMain, 0x207, build::Software::CorvaneBrisko));
  return projects;
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

// One clip of each kind and one record of every other section, so that every codec is
// reached from the first input on while the seed stays small.
build::Project SeedProject(std::uint16_t version, build::Software software) {
  build::Project p;
  p.version = version;
  p.software = software;
  p.titleTrack = 1;
  const std::string colour = build::ColorClipName(1, 2, 3, "FF0000", "00FF00", "0000FF", "FFFFFF");
  p.main = {{"a.avi", 0, 99, 0, "", 100, 0, {{5, 7}}},
            {"b.jpg", 0, 49, 0, "s", 0, 0, {}},
            {colour, -5, 29, 0, "", 0, 0, {}}};
  p.insert = {{"c.png", 10, 49, 20, "", 0, 0, {}}};
  p.exAudio1 = {{"d.wav", 0, 99, 10, 1, 1, {{0, 1}}}};
  build::Effect effect;
  effect.name = "Dissolve";
  effect.clipLength = 90;
  effect.parameterBytes = 6;
  effect.words = {1, 2};
  p.effects = {effect};
  build::Title title;
  title.elementKind = 0x200;
  build::TitleElement element;
  element.elementValue = 1;
  element.text = "e.jpg\r\n\"q\",\\";
  element.fontName = "Font";
  title.elements = {element};
  p.titles = {title};
  build::TrackFilter filter;
  filter.hasBlock1 = 1;
  filter.hasBlock2 = 1;
  filter.hasBlock3 = 1;
  filter.slow = 1;
  filter.block1 = "xy";
  filter.block2 = "z";
  filter.first = {{"Blur", "1"}};
  p.mainFilters = {filter};
  p.exAudio1Filters = {{{{"Echo", "2"}}}};
  // Bin colour items carry no type digit in their line, so theirs is '0' to come back as is.
  const std::string binColour =
      build::ColorClipName(0, 2, 3, "FF0000", "00FF00", "0000FF", "FFFFFF");
  p.bin = {{"a", "a.avi", 0, 99, 48000, 16},
           {"b", "b.jpg", 0, 9, 0, 0},
           {binColour, binColour, 0, 9, 0, 0}};
  p.optionText = "o";
  return p;
}

std::string_view TargetName(Target target) {
  return targetNames[static_cast<std::size_t>(target)];
}

std::optional<Target> TargetNamed(std::string_view name) {
  for (Target target : allTargets)
    if (TargetName(target) == name) return target;
  return std::nullopt;
}

const std::vector<FixedProject>& FixedProjects() {
  static const std::vector<FixedProject> projects = MakeFixedProjects();
  return projects;
}

RunInput DecodeInput(Target target, std::span<const std::uint8_t> input) {
  RunInput run;
  if (target == Target::TextScanner) {
    run.text = AsText(input);
    return run;
  }
  const std::uint8_t choice = input.empty() ? 0 : input[0];
  const std::string_view rest = input.empty() ? std::string_view{} : AsText(input.subspan(1));
  const FixedProject& fixed = FixedProjects()[choice % FixedProjects().size()];
  switch (target) {
    case Target::ProjectToText:
    case Target::MediaCheck:
    case Target::Export:
    case Target::Picture:
      run.options.software = (choice & 1) != 0 ? Software::Lumetta : Software::CorvaneBrisko;
      run.options.timecode = static_cast<TimecodeMode>((choice >> 1) & 3);
      run.options.csv = (choice & 8) != 0;
      run.useFileSystem = target == Target::MediaCheck && (choice & 2) != 0;
      run.project = rest;
      break;
    case Target::TextToProject:
      run.options.software = fixed.software;
      run.project = fixed.bytes;
      run.text = rest;
      break;
    case Target::SourceToProject:
      run.options.software = fixed.software;
      run.project = rest;
      run.text = fixed.text;
      break;
    case Target::Relink: {
      run.options.software = (choice & 1) != 0 ? Software::Lumetta : Software::CorvaneBrisko;
      const std::size_t end = rest.find('\0');
      run.text = rest.substr(0, end);
      run.project = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
      break;
    }
    case Target::TextScanner:
      break;
  }
  return run;
}

Broken CheckInput(Target target, std::span<const std::uint8_t> input) {
  const RunInput run = DecodeInput(target, input);
  switch (target) {
    case Target::ProjectToText:
      return CheckProjectToText(AsBytes(run.project), run.options);
    case Target::TextToProject:
    case Target::SourceToProject:
      return CheckTextToProject(AsBytes(run.project), run.text, run.options.software);
    case Target::MediaCheck:
      return CheckMediaWalk(AsBytes(run.project), run.options.software, run.useFileSystem);
    case Target::TextScanner:
      return CheckTextScanner(run.text);
    case Target::Relink:
      return CheckRelink(AsBytes(run.project), run.text, run.options.software);
    case Target::Export:
      return CheckExports(AsBytes(run.project), run.options.software);
    case Target::Picture:
      return CheckPicture(AsBytes(run.project), run.options.software, run.options.timecode);
  }
  return std::nullopt;
}

}  // namespace pexol::fuzz
