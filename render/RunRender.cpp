// render/RunRender.cpp - media found and tried, the MLT document built, encoded in the run frame
#include "render/RunRender.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "core/RunFailure.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "export/ExportFormats.h"
#include "export/MltMediaNames.h"
#include "export/MltWriter.h"
#include "media/FileIdentity.h"
#include "media/MediaResolver.h"
#include "media/MissingMediaList.h"
#include "media/OutputPath.h"
#include "media/PathText.h"
#include "render/ConvertedStills.h"
#include "render/MltRender.h"
#include "render/RangeCut.h"
#include "render/RenderLayout.h"
#include "render/RenderOutcome.h"
#include "render/RenderReading.h"
#include "render/RenderTemporaryFolder.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

// The project stores a code for its sound; the 32 kHz ones differ in their sample size only.
int FrequencyOf(std::int32_t stored) {
  switch (stored) {
    case 44100:
      return 44100;
    case 32016:
    case 32012:
      return 32000;
    default:
      return 48000;
  }
}

/// One media file the timeline uses and where it was looked for.
struct MediaUse {
  std::string track;   // the section heading it is listed under
  std::string stored;  // the name as stored
  bool image = false;
};

std::vector<MediaUse> MediaOf(const Timeline& timeline) {
  std::vector<MediaUse> uses;
  const auto add = [&uses](const char* track, const std::vector<TimelineItem>& items) {
    for (const TimelineItem& item : items) {
      if (item.kind == ItemKind::Movie || item.kind == ItemKind::Still)
        uses.push_back({track, item.name, item.kind == ItemKind::Still});
      for (const TitleText& text : item.texts)
        if (text.namesMedia) uses.push_back({track, text.text, true});
    }
  };
  add("[MainAV]", timeline.main);
  add("[InsertAV]", timeline.insert);
  add("[ExAudio1]", timeline.exAudio[0]);
  add("[ExAudio2]", timeline.exAudio[1]);
  add("[Title]", timeline.titles);
  return uses;
}

/// The files the timeline's names lead to, each tried once: found and decoded, or missing.
class RenderMedia {
 public:
  RenderMedia(ResolveOptions options, ExportRate rate, const std::string& stillsFolder)
      : resolver_(std::move(options)), rate_(rate), stills_(stillsFolder, folder_) {}

  /// Resolves and tries the files of `timeline` named in `used`; the names that cannot be
  /// rendered are kept.
  void Find(const Timeline& timeline, const std::set<std::string>& used) {
    std::set<std::string> listed;
    for (const MediaUse& use : MediaOf(timeline)) {
      if (used.count(use.stored) == 0) continue;
      if (paths_.count(use.stored) == 0 && missing_.count(use.stored) == 0) Try(use);
      if (missing_.count(use.stored) != 0 && listed.insert(use.track + '\n' + use.stored).second)
        unusable_.push_back(use);
    }
  }

  std::string PathOf(std::string_view stored) const {
    const auto found = paths_.find(std::string(stored));
    return found != paths_.end() ? found->second : std::string();
  }
  bool Missing(const std::string& stored) const { return missing_.count(stored) != 0; }
  /// The frames a movie or sound file found lasts at the render's rate; nullopt for others.
  std::optional<std::int64_t> LengthOf(const std::string& stored) const {
    const auto found = lengths_.find(stored);
    return found != lengths_.end() ? std::optional(found->second) : std::nullopt;
  }
  std::size_t MissingCount() const { return missing_.size(); }

  /// The unusable names under their tracks' headings, in the check's list.
  std::string List() const {
    MissingMediaList list;
    std::string track;
    for (const MediaUse& use : unusable_) {
      if (use.track != track) list.Section(track = use.track);
      list.Add(Printable(use.stored), missing_.at(use.stored));
    }
    return list.Take();
  }

  /// The first few unusable names, quoted, for a warning.
  std::string Named() const {
    std::string text;
    std::size_t count = 0;
    for (const auto& [stored, why] : missing_) {
      if (++count > 5) break;
      text += (text.empty() ? "\"" : ", \"") + Printable(stored) + "\"";
    }
    return text;
  }

  const std::vector<std::string>& Warnings() const { return resolver_.Warnings(); }

 private:
  static std::string Printable(std::string_view stored) { return DecodeShiftJis(stored).utf8; }

  void Try(const MediaUse& use) {
    const MediaResolution found = resolver_.Resolve(use.stored);
    if (found.status == MediaStatus::Ambiguous) {
      // TRANSLATORS: follows a media name in the list of those missing.
      missing_[use.stored] = SayN(
          found.candidates.size(), " (ambiguous: {0} file of this name in the search folders)",
          " (ambiguous: {0} files of this name in the search folders)", found.candidates.size());
      return;
    }
    if (found.status != MediaStatus::Found) {
      missing_[use.stored] = "";
      return;
    }
    // Messages name the file as found, in its own bytes (shown decoded where they are
    // Shift-JIS), not the link or PNG rendered in its place.
    const std::string foundPath = OutputPath(found.path);
    std::string why;
    std::optional<std::string> path = Openable(foundPath, use.image, why);
    if (!path) {
      missing_[use.stored] = Say(" (found as {0}, but {1})", foundPath, why);
      return;
    }
    // MLT's document is XML.
    if (!XmlCanHold(*path)) {
      missing_[use.stored] = Tr(" (found as a name MLT's document cannot hold)");
      return;
    }
    std::optional<std::int64_t> length = Length(*path, use.image);
    // A still MLT's image loader cannot read (PICT, SGI, PSD, some Targa kinds) is rendered from
    // the PNG FFmpeg makes of it, in a folder of plain names or through a link.
    if (!length && use.image) {
      if (const auto png = stills_.PngOf(*path, why)) {
        path = Openable(*png, true, why);
        if (path) length = Length(*path, true);
      }
      if (!why.empty()) {
        missing_[use.stored] =
            Say(" (found as {0}, which MLT reads only as PNG, but {1})", foundPath, why);
        return;
      }
    }
    if (!length) {
      missing_[use.stored] = Say(" (found as {0}, which does not decode)", foundPath);
    } else {
      paths_[use.stored] = *path;
      if (!use.image) lengths_[use.stored] = *length;
    }
  }

  // `path` under a name MLT reads as it is: its image loaders would take a '%' in the name
  // for a sequence pattern, and its document is XML, which holds no name in another encoding
  // (a Shift-JIS folder); both are opened through a link of a plain name. nullopt, with `why`
  // set, when no link can be made.
  std::optional<std::string> Openable(const std::string& path, bool image, std::string& why) {
    if ((image && ImageLoadersMisread(path)) || !XmlCanHold(path)) return folder_.LinkTo(path, why);
    return path;
  }

  // Names that lead to one file (links, other spellings) try it once.
  std::optional<std::int64_t> Length(const std::string& path, bool image) {
    const auto open = [&] { return MediaLength(path, image, rate_.numerator, rate_.denominator); };
    const auto identity = FileIdentity(PathOfUtf8(path));
    if (!identity) return open();
    const std::string key = *identity + (image ? "i" : "m");
    const auto tried = decodes_.find(key);
    if (tried != decodes_.end()) return tried->second;
    return decodes_[key] = open();
  }

  MediaResolver resolver_;
  ExportRate rate_;
  RenderTemporaryFolder folder_;
  ConvertedStills stills_;
  // File identity and loader to its length, nullopt when it does not decode.
  std::map<std::string, std::optional<std::int64_t>> decodes_;
  std::map<std::string, std::int64_t> lengths_;  // stored name of a movie or sound to its frames
  std::map<std::string, std::string> paths_;     // stored name to the file rendered
  std::map<std::string, std::string> missing_;   // stored name to why it cannot be rendered
  std::vector<MediaUse> unusable_;
};

/// A medium shorter than the frames a clip plays of it (a copy cut short, a file replaced)
/// leaves black and silence from its end: said once a file, with the first clip that runs
/// past it.
void WarnOfShortMedia(const ExportTimeline& layout, const RenderMedia& media,
                      std::vector<std::string>& warnings) {
  std::set<std::string> told;
  for (const ExportTrack& track : layout.tracks)
    for (const ExportPiece& piece : track.pieces) {
      if (!piece.item || !piece.media || piece.black) continue;
      const auto length = media.LengthOf(piece.media->stored);
      const std::int64_t needed = (piece.sourceOut + piece.runOn).Value();
      if (!length || needed <= *length || !told.insert(piece.media->stored).second) continue;
      warnings.push_back(
          Say("\"{0}\" is {1} frames long, but the timeline plays it to frame {2} (on {3}): "
              "black and silence from its end.",
              piece.name, *length, needed, track.name));
    }
}

/// The media list of a render that did not start, which each front end follows with how to find
/// them in its own terms; caught by `RunRender`.
struct MediaUnusable {
  std::string message;
};

RunResult Render(const RenderJob& job, RunObserver& observer) {
  if (std::string problem = RenderJobProblem(job); !problem.empty())
    return RunResult::Failed(std::move(problem));
  const RenderContainer* container = ContainerOf(job.destination);
  const auto size = ParseRenderSize(job.size);
  std::string error;
  auto resolve = ResolveOptionsFor(job.source, job.maps, job.searchFolders, error);
  if (!resolve) return RunResult::Failed(std::move(error));
  resolve->stopRequested = [&observer] { return observer.StopRequested(); };
  RenderMedia media(std::move(*resolve), *ExportRateOf(job.timecode), job.stillsFolder);

  const auto started = std::chrono::steady_clock::now();
  const RunPlan plan = RunPlan::Writing(renderReading, job.source, job.software, job.destination,
                                        Tr(cannotRender), Tr("it is the project being rendered"));
  RunResult result;
  try {
    result = RunOnProject(
        plan,
        [&](const RunInput& input) {
          if (input.temporaryPath.empty())
            throw RunFailure(FailedInput::Destination,
                             std::string(Tr("a render is written to a file: name a file such as "
                                            "video.mp4 (not a device, standard output, or a file "
                                            "with more than one hard link).")));
          const Timeline timeline = BuildTimeline(input.project);
          ExportTimeline layout = RenderLayout(timeline, job);
          const auto range = RenderedFrames(layout, job, error);
          if (!range) throw RunFailure(FailedInput::Destination, error);

          // Only the clips the range shows are loaded, and only their media found and opened.
          CutToRange(layout, range->first, range->end);
          input.progress.Status(std::string(Tr("[Render] finding the media")));
          media.Find(timeline, MediaUsed(layout));
          std::vector<std::string> warnings = media.Warnings();
          if (media.MissingCount() > 0 && job.missing == MissingMedia::Fail)
            throw MediaUnusable{
                // TRANSLATORS: {3} is the list of the media, one a line, ending in a new line.
                SayN(media.MissingCount(),
                     "{0}\n\n{1}\n{2} media file is missing or does not decode:\n{3}",
                     "{0}\n\n{1}\n{2} media files are missing or do not decode:\n{3}",
                     Tr(cannotRender), job.source, media.MissingCount(), media.List())};
          for (MediaReference& reference : layout.references) {
            reference.found = !media.Missing(reference.stored);
            reference.path = media.PathOf(reference.stored);
          }
          WarnOfShortMedia(layout, media, warnings);
          if (media.MissingCount() > 0) {
            BlackOutMissing(layout);
            // The first five are named, the rest counted.
            const std::size_t missing = media.MissingCount();
            warnings.push_back(
                missing <= 5
                    ? SayN(missing,
                           "{0} media file could not be rendered (not found or not decoded): {1}; "
                           "black and silence are in their place.",
                           "{0} media files could not be rendered (not found or not decoded): "
                           "{1}; black and silence are in their place.",
                           missing, media.Named())
                    // TRANSLATORS: {1} names five media, {2} counts the others; {0} is above 5.
                    : SayN(missing,
                           "{0} media file could not be rendered (not found or not decoded): {1} "
                           "and {2} more; black and silence are in their place.",
                           "{0} media files could not be rendered (not found or not decoded): {1} "
                           "and {2} more; black and silence are in their place.",
                           missing, media.Named(), missing - 5));
          }

          MltDocument graph(WriteMltWith(layout, MltServices::DisplayFree));
          if (!graph.Valid())
            throw RunFailure(FailedInput::Destination,
                             std::string(Tr("MLT could not load the timeline's document.")));

          EncodeSettings encode;
          encode.format = container->ffmpegName;
          encode.crf = job.quality;
          encode.frequency = FrequencyOf(input.project.header.audioFrequency);
          encode.codec = job.codec;
          encode.audioCodec = AudioCodecOf(job.codec, *container);
          encode.soundOnly = container->soundOnly;
          encode.size = *size;
          encode.interlaced = job.interlaced;
          encode.pictureOnly = job.pictureOnly;
          int taken = 0;
          // The observer counts the rate from here too, so that both say the same.
          observer.Frames(0, range->end - range->first);
          const auto encodeStart = std::chrono::steady_clock::now();
          const RenderProgress onProgress = [&](std::int64_t done, std::int64_t total) {
            if (observer.StopRequested()) return false;
            observer.Frames(done, total);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - encodeStart)
                    .count();
            const double rateNow = seconds > 0 ? double(done) / seconds : 0;
            // The percentage and the time left are the whole run's, beside the bar; the
            // status adds only the encoder's rate.
            observer.Status(Say("[Render] {0} fps", static_cast<long long>(rateNow + 0.5)));
            const int steps = static_cast<int>(done * renderShare / total);
            if (steps > taken) {
              input.progress.Step(steps - taken);
              taken = steps;
            }
            return true;
          };
          bool stopped = false;
          if (!graph.Encode(input.temporaryPath, range->first, range->end, encode, onProgress,
                            stopped, error))
            throw RunFailure(FailedInput::Destination, error);
          if (stopped) throw RunStopped();
          if (taken < renderShare) input.progress.Step(renderShare - taken);

          RunOutput output;
          output.wroteTemporary = true;
          const std::int64_t frames = range->end - range->first;
          const RenderOutcome outcome{
              frames,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
          output.message = RenderCompletedMessage(
              job.source, job.destination,
              FormatTimecode(job.timecode, static_cast<std::int32_t>(frames)), outcome);
          output.outcome = outcome;
          output.warnings = std::move(warnings);
          return output;
        },
        observer);
  } catch (const MediaUnusable& unusable) {
    observer.Status("");
    RunResult failed = RunResult::Failed(unusable.message);
    failed.remedy = Remedy::FindOrBlackOutMedia;
    return failed;
  }
  if (result.status == RunResult::Status::Stopped)
    result.message = RenderStoppedMessage(job.source, job.destination);
  return result;
}

}  // namespace

RunResult RunRender(const RenderJob& job, RunObserver& observer) {
  // MLT, FFmpeg and the file system may fail where no check foresaw it; the project is named.
  return CatchUnforeseen(job.source, observer, [&] { return Render(job, observer); });
}

}  // namespace pexol
