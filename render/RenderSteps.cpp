// render/RenderSteps.cpp - equal ranges, their files beside the destination, and the commands
#include "render/RenderSteps.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "media/PathText.h"

namespace pexol {

namespace {

std::string TimecodeName(TimecodeMode mode) {
  for (const TimecodeModeName& name : TimecodeModeNames())
    if (name.mode == mode) return std::string(name.name);
  return "ntsc-drop";
}

std::string CodecName(RenderCodec codec) {
  for (const RenderCodecChoice& choice : RenderCodecs())
    if (choice.codec == codec) return choice.name;
  return "h264";
}

std::string SoftwareArgument(const SoftwareChoice& choice) {
  for (const SoftwareChoiceName& name : SoftwareChoiceNames())
    if (name.choice.automatic == choice.automatic &&
        (choice.automatic || name.choice.named == choice.named))
      return std::string(name.name);
  return "auto";
}

// "DIR/demo.pexol-range-1-of-2.mp4" for "DIR/demo.mp4": beside the destination, so that the
// join writes on the same disk; named so that no file of the user's is taken for one.
std::string PieceBeside(const std::string& destination, const std::string& what,
                        const std::string& extension) {
  const auto path = PathOfUtf8(destination);
  return Utf8OfPath(path.parent_path() /
                    PathOfUtf8(Utf8OfPath(path.stem()) + ".pexol-" + what + extension));
}

// The extension of the file that holds a video render's sound alone, in the codec the video
// holds it in (PCM beside ProRes, AAC beside H.264): the sound-only container of that codec.
std::string SoundExtension(const RenderJob& job, const RenderContainer& video) {
  const std::string_view codec = AudioCodecOf(job.codec, video);
  for (const RenderContainer& container : RenderContainers())
    if (container.soundOnly && codec == container.audioCodec) return container.extension;
  return ".wav";  // every codec above has one; PCM holds any sound
}

}  // namespace

std::string SharedStillsFolder(const std::string& destination) {
  return PieceBeside(destination, "stills", "");
}

void RemoveSharedStills(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code code;
  const fs::path path = PathOfUtf8(folder);
  if (!fs::is_directory(fs::symlink_status(path, code))) return;
  for (fs::directory_iterator entry(path, code), end; !code && entry != end; entry.increment(code))
    if (Utf8OfPath(entry->path().filename()).starts_with(sharedStillPrefix)) {
      std::error_code ignored;
      fs::remove(entry->path(), ignored);
    }
  fs::remove(path, code);  // only when empty: a folder of the user's that bore the name stays
}

std::vector<std::string> RenderArguments(const RenderJob& job, const FrameRange* frames) {
  // Each value joined to its option: a folder, a rule or a position may start with "-".
  std::vector<std::string> arguments = {"render", job.source, job.destination,
                                        "--software=" + SoftwareArgument(job.software),
                                        "--timecode=" + TimecodeName(job.timecode)};
  for (const std::string& map : job.maps) arguments.push_back("--map=" + map);
  for (const std::string& folder : job.searchFolders) arguments.push_back("--search=" + folder);
  arguments.push_back(std::string("--missing=") +
                      (job.missing == MissingMedia::Black ? "black" : "fail"));
  if (frames) {
    arguments.push_back("--from=" + std::to_string(frames->first));
    arguments.push_back("--to=" + std::to_string(frames->end));
  } else {
    if (!job.from.empty()) arguments.push_back("--from=" + job.from);
    if (!job.to.empty()) arguments.push_back("--to=" + job.to);
  }
  arguments.push_back("--quality=" + std::to_string(job.quality));
  arguments.push_back("--size=" + (job.size.empty() ? std::string("sd") : job.size));
  arguments.push_back("--codec=" + CodecName(job.codec));
  if (job.interlaced) arguments.push_back("--interlaced");
  if (job.pictureOnly) arguments.push_back("--picture-only");
  arguments.push_back("--jobs=" + std::to_string(job.jobs));
  if (!job.stillsFolder.empty()) arguments.push_back("--stills-folder=" + job.stillsFolder);
  return arguments;
}

std::vector<RenderStep> PlanRenderSteps(const RenderJob& job, FrameRange frames) {
  const RenderContainer* container = ContainerOf(job.destination);
  const std::int64_t length = frames.end - frames.first;
  const auto count = std::min<std::int64_t>(job.jobs, length / minimumRangeFrames);
  if (count < 2 || job.pictureOnly || !container || container->soundOnly) {
    RenderJob whole = job;
    whole.jobs = 1;
    return {{RenderStep::Kind::Whole, RenderArguments(whole, nullptr), job.destination, frames}};
  }

  std::vector<RenderStep> steps;
  const std::string extension = Utf8OfPath(PathOfUtf8(job.destination).extension());
  const std::string of = "-of-" + std::to_string(count);
  std::vector<std::string> join = {"join", job.destination};
  // Every range and the sound take the stills MLT cannot read from one folder: each is
  // converted once, by the first process that needs it.
  const std::string stills =
      job.stillsFolder.empty() ? SharedStillsFolder(job.destination) : job.stillsFolder;
  for (std::int64_t range = 0; range < count; ++range) {
    RenderJob piece = job;
    piece.jobs = 1;
    piece.pictureOnly = true;
    piece.stillsFolder = stills;
    piece.destination =
        PieceBeside(job.destination, "range-" + std::to_string(range + 1) + of, extension);
    const FrameRange part{frames.first + length * range / count,
                          frames.first + length * (range + 1) / count};
    steps.push_back(
        {RenderStep::Kind::Range, RenderArguments(piece, &part), piece.destination, part});
    join.push_back(piece.destination);
  }
  RenderJob sound = job;
  sound.jobs = 1;
  sound.stillsFolder = stills;
  sound.destination = PieceBeside(job.destination, "sound", SoundExtension(job, *container));
  // A sound file's codec follows its extension; the picture's options do not apply to it.
  sound.codec = RenderCodec::H264;
  sound.size.clear();
  sound.interlaced = false;
  steps.push_back(
      {RenderStep::Kind::Sound, RenderArguments(sound, &frames), sound.destination, frames});
  join.push_back("--sound=" + sound.destination);
  steps.push_back({RenderStep::Kind::Join, std::move(join), job.destination, frames});
  return steps;
}

}  // namespace pexol
