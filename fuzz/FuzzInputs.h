// fuzz/FuzzInputs.h - the fuzz targets, how each reads its input bytes, and the fixed projects
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options.h"
#include "fuzz/Invariants.h"
#include "tools/builder/ProjectModel.h"

namespace pexol::fuzz {

/// One fuzz target per run and input: the first input byte makes the run's choices, the
/// rest is the file the target varies.
enum class Target {
  ProjectToText,    ///< byte 0: bit 0 software, bits 1-2 timecode mode, bit 3 CSV; then a project
  TextToProject,    ///< byte 0 picks a fixed project (and its software); then a text
  SourceToProject,  ///< byte 0 picks a fixed project's text (and software); then a project
  MediaCheck,       ///< byte 0: bit 0 software, bit 1 test names on disk; then a project
  TextScanner,      ///< the whole input is a text
  Relink,           ///< byte 0: bit 0 software; then rules, one a line, up to a NUL; then a project
  Export,           ///< byte 0: bit 0 software; then a project
  Picture,          ///< byte 0: bit 0 software, bits 1-2 timecode mode; then a project
};

inline constexpr std::array<Target, 8> allTargets = {
    Target::ProjectToText, Target::TextToProject, Target::SourceToProject, Target::MediaCheck,
    Target::TextScanner,   Target::Relink,        Target::Export,          Target::Picture};

/// "project-to-text", "text-to-project", "source-to-project", "media-check", "text-scanner",
/// "relink", "export", "picture":
/// the names of the fuzz programs and of their folders of seeds and regression inputs.
std::string_view TargetName(Target target);
/// The target of a name above; nullopt for any other name.
std::optional<Target> TargetNamed(std::string_view name);

/// A small project with one clip of each kind and one record of every other section, so that
/// every codec is reached while the bytes stay few: the base of the seeds and of tests.
build::Project SeedProject(std::uint16_t version, build::Software software);

/// A well-formed project, its text and the software that reads it.
struct FixedProject {
  std::string bytes;
  std::string text;
  Software software = Software::CorvaneBrisko;
};

/// The projects the text targets pair with, built once: the seed project as "Corvane, Brisko"
/// writes it at versions 0x207, 0x205 and 0x1FF and as "Lumetta" writes it at 0x207; the demo
/// project; the demo project without main clips (so without the sections that follow them).
const std::vector<FixedProject>& FixedProjects();

/// One input taken apart into the run it stands for.
struct RunInput {
  ToTextOptions options;       ///< the software and EDL choices
  bool useFileSystem = false;  ///< media check: test names on disk
  std::string_view project;    ///< the project bytes (the input's or a fixed project's)
  std::string_view text;       ///< the text (the input's or a fixed project's); relink's rules
};

/// How `target` reads `input`; an empty input is an empty project or text.
RunInput DecodeInput(Target target, std::span<const std::uint8_t> input);

/// Runs `target` on `input` and checks its invariants.
Broken CheckInput(Target target, std::span<const std::uint8_t> input);

/// `bytes` as the byte span the conversions read.
inline std::span<const std::uint8_t> AsBytes(std::string_view bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace pexol::fuzz
