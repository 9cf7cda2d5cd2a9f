// batch/BatchJob.cpp - a project's outputs made through the single-project runs
#include "batch/BatchJob.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "collect/RunCollect.h"
#include "core/FileIo.h"
#include "core/PlatformPath.h"
#include "core/SystemReason.h"
#include "core/TextEncoding.h"
#include "core/Translation.h"
#include "edl/Timecode.h"
#include "export/ExportFormats.h"
#include "export/RunExport.h"
#include "media/MediaCount.h"
#include "media/MediaResolver.h"
#include "media/PathText.h"
#include "model/ClipCount.h"
#include "model/MediaNames.h"
#include "model/Timeline.h"
#include "picture/PictureReading.h"
#include "picture/ScenePosters.h"
#include "picture/TimelinePicture.h"
#include "render/RenderInProcesses.h"
#include "run/RunConversions.h"
#include "run/RunFrame.h"
#include "run/RunMessages.h"

namespace pexol {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view cannotDrawPicture = "Can not write the timeline picture";

/// 24 hours of NTSC drop frame labels: no tape or project was that long, so a timeline that
/// ends there or later has positions a damaged file made up.
constexpr std::int32_t dayOfNtscFrames = 24 * 107892;

std::string StemOf(const BatchProject& project) {
  return Utf8OfPath(PathOfUtf8(project.source).stem());
}

/// "--transcode prores --trim --handles 24 ", or nothing for a copy.
std::string TranscodeOptions(const BatchOptions& options) {
  const TranscodeChoice& choice = options.transcode;
  if (choice.kind == TranscodeKind::Copy) return {};
  std::string text = "--transcode " + std::string(ChoiceOf(choice.kind).name) + " ";
  if (choice.trim) text += "--trim --handles " + std::to_string(choice.handles) + " ";
  return text;
}

bool Collecting(const BatchOptions& options) {
  return options.transcode.kind != TranscodeKind::Copy;
}

/// The folder below DIR a collecting job gathers the project into.
std::string CollectFolder(const BatchProject& project) {
  return project.into + "/" + Utf8OfPath(PathOfUtf8(project.source).stem());
}

std::string OptionsText(const BatchOptions& options) {
  std::string text;
  for (const std::string& format : options.formats) text += "--format " + format + " ";
  // A default is not named, so that results written before the option still count.
  for (const auto& [name, value] : options.formatOptions)
    if (const FormatOption* option = FormatOptionNamed(name);
        !option || value != option->choices.front())
      text += "--" + name + " " + value + " ";
  if (options.text) text += "--text ";
  if (!options.render.empty()) text += "--render " + options.render + " ";
  // Named only when not the default, so that results written before the option still count.
  if (options.missing == MissingMedia::Black) text += "--missing black ";
  for (const std::string& map : options.maps) text += "--map " + map + " ";
  for (const std::string& folder : options.searchFolders) text += "--search " + folder + " ";
  text += TranscodeOptions(options);
  if (!text.empty()) text.pop_back();
  return text;
}

std::string ExtensionOf(const std::string& format) {
  const ExportFormat* row = ExportFormatNamed(format);
  return row ? row->extensions.front() : "." + format;
}

fs::path OutPath(const BatchOptions& options, const std::string& relative) {
  return PathOfUtf8(options.out) / PathOfUtf8(relative);
}

/// A failure's message, followed by what to do in the batch's own options.
std::string FailureText(const RunResult& run) {
  std::string text = DisplayText(run.message);
  switch (run.remedy) {
    case Remedy::FindOrBlackOutMedia:
      return WithRemedyWords(std::move(text),
                             Tr("Find them with --map and --search (see 'pexol-cli check'), or "
                                "render black and silence in their place with --missing black."));
    case Remedy::RenameOrMapFolder:
      return WithRemedyWords(std::move(text),
                             Tr("Rename the folder or file, or name another with --map."));
    case Remedy::None:
      break;
  }
  return text;
}

bool Summarise(const BatchOptions& options, const BatchProject& project, const RunObserver& outer,
               JobResult& result) {
  std::string error;
  auto resolve = ResolveOptionsFor(project.source, options.maps, options.searchFolders, error);
  if (!resolve) {
    result.failures.push_back(error);
    return false;
  }
  resolve->stopRequested = [&outer] { return outer.StopRequested(); };
  MediaResolver resolver(std::move(*resolve));
  const std::string picture = project.into + "/" + StemOf(project) + ".svg";
  RunPlan plan = RunPlan::Writing(pictureReading, project.source, SoftwareChoice::Automatic(),
                                  Utf8OfPath(OutPath(options, picture)), cannotDrawPicture,
                                  "it is the project being drawn");
  StopOnlyObserver observer(outer);
  const RunResult run = RunOnProject(
      plan,
      [&](const RunInput& input) {
        result.software = std::string(SoftwareName(input.project.software));
        // Every reference counted as the check counts it; each missing file named once, by
        // the first name that points to it.
        MediaCount count;
        std::map<std::string, MediaResolution, std::less<>> where;
        ForEachMediaName(input.project, [&](SectionId, const std::string* name) {
          if (name == nullptr) return;
          const MediaResolution found = resolver.Resolve(*name);
          if (count.Add(*name, found)) result.missing.push_back(DecodeShiftJis(*name).utf8);
          where.emplace(*name, found);
        });
        result.missingReferences = count.MissingReferences();
        const Timeline timeline = BuildTimeline(input.project);
        result.clips = static_cast<int>(ClipCount(timeline));
        std::int32_t end = 0;
        bool negative = false;
        for (const auto* track : {&timeline.main, &timeline.insert, &timeline.exAudio[0],
                                  &timeline.exAudio[1], &timeline.titles})
          for (const TimelineItem& item : *track) {
            end = std::max(end, item.recordOut.Value());
            negative = negative || item.recordIn.Value() < 0 || item.recordOut.Value() < 0;
          }
        // Positions that wrapped or went negative give no length worth a number.
        if (!negative && end < dayOfNtscFrames) {
          result.frames = end;
          result.length = FormatTimecode(TimecodeMode::NtscDrop, end);
        }
        // The scene with where each medium is, so that each found clip shows its poster.
        const TimelineScene scene =
            SceneOf(timeline, TimecodeMode::NtscDrop, [&](std::string_view stored) {
              auto known = where.find(stored);
              if (known == where.end())
                known = where.emplace(std::string(stored), resolver.Resolve(stored)).first;
              return known->second;
            });
        const ScenePosters posters = PostersOf(scene, [&outer] { return outer.StopRequested(); });
        TimelinePicture drawn = DrawTimeline(scene, {}, &posters);
        RunOutput output;
        output.bytes = std::move(drawn.svg);
        output.warnings = resolver.Warnings();
        output.warnings.insert(output.warnings.end(), drawn.warnings.begin(), drawn.warnings.end());
        return output;
      },
      observer);
  if (run.status == RunResult::Status::Stopped) throw RunStopped();
  if (!run.Completed()) {
    result.failures.push_back(FailureText(run));
    return false;
  }
  result.picture = picture;
  for (const std::string& warning : run.warnings)
    AddWarning(result, "picture", DisplayText(warning));
  return true;
}

/// Notes how one output's run ended; throws `RunStopped` for a stopped one.
void Note(const RunResult& run, const std::string& what, const std::string& relative,
          JobResult& result) {
  if (run.status == RunResult::Status::Stopped) throw RunStopped();
  if (!run.Completed()) {
    result.failures.push_back(what + ": " + FailureText(run));
    return;
  }
  result.outputs.push_back(relative);
  if (const auto* exported = run.OutcomeAs<ExportOutcome>())
    result.notes.push_back({relative, exported->format, exported->notes});
  for (const std::string& warning : run.warnings) AddWarning(result, what, DisplayText(warning));
}

/// The project gathered with its media transcoded, the exports beside it; a folder from an
/// earlier run is replaced only once the new one is whole.
void Collect(const BatchOptions& options, const BatchProject& project, const RunObserver& observer,
             const std::vector<std::string>& outputs, JobResult& result) {
  const fs::path target = OutPath(options, CollectFolder(project));
  fs::path fresh = target;
  fresh += ".pexol-new";
  std::error_code code;
  fs::remove_all(fresh, code);
  const bool replacing = fs::exists(target, code);
  CollectJob job;
  job.source = project.source;
  job.folder = Utf8OfPath(replacing ? fresh : target);
  job.software = SoftwareChoice::Automatic();
  job.maps = options.maps;
  job.searchFolders = options.searchFolders;
  job.formats = options.formats;
  job.formatOptions = options.formatOptions;
  job.transcode = options.transcode;
  job.jobs = 1;  // the batch already runs a job a core
  StopOnlyObserver quiet(observer);
  const RunResult collected = RunCollect(job, quiet);
  if (collected.status == RunResult::Status::Stopped) throw RunStopped();
  if (!collected.Completed()) {
    result.failures.push_back("collect: " + DisplayText(collected.message));
    return;
  }
  if (replacing) {
    // The old folder steps aside first and goes only once the new one is in its place.
    fs::path old = target;
    old += ".pexol-old";
    fs::remove_all(old, code);
    fs::rename(target, old, code);
    if (!code) fs::rename(fresh, target, code);
    if (code) {
      std::error_code ignored;
      if (!fs::exists(target, ignored)) fs::rename(old, target, ignored);
      fs::remove_all(fresh, ignored);
      result.failures.push_back("collect: " +
                                Say("cannot put the new folder in the place of \"{0}\": {1}",
                                    Utf8PathName(Utf8OfPath(target)), SystemReason(code)));
      return;
    }
    fs::remove_all(old, code);
  }
  for (std::size_t i = 0; i <= options.formats.size(); ++i) result.outputs.push_back(outputs[i]);
  for (const std::string& warning : collected.warnings)
    AddWarning(result, "collect", DisplayText(warning));
}

fs::path ResultFile(const BatchOptions& options, const BatchProject& project, const char* name) {
  return OutPath(options, project.into + "/" + name);
}

/// The outputs the earlier run's result file names, with those of the one a batch set aside
/// for a job that then never finished.
std::vector<std::string> EarlierOutputs(const BatchOptions& options, const BatchProject& project) {
  std::vector<std::string> outputs;
  for (const char* name : {jobResultName, earlierResultName}) {
    std::string error;
    const auto bytes = ReadWholeFile(Utf8OfPath(ResultFile(options, project, name)), error);
    if (!bytes) continue;
    const auto result = ParseResult(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
    if (!result) continue;
    for (const std::string& output : result->outputs)
      if (std::find(outputs.begin(), outputs.end(), output) == outputs.end())
        outputs.push_back(output);
  }
  return outputs;
}

/// True when `relative` names something below the folder `into`, by its names alone: not
/// absolute, no "..", no ".".
bool NamesBelow(const fs::path& relative, const fs::path& into) {
  if (relative.has_root_name() || relative.has_root_directory()) return false;
  for (const fs::path& part : relative)
    if (part == ".." || part == "." || part.empty()) return false;
  auto inside = relative.begin();
  for (const fs::path& part : into) {
    if (inside == relative.end() || *inside != part) return false;
    ++inside;
  }
  return inside != relative.end();
}

/// `path` below `folder` or the folder itself, both real paths.
bool Within(const fs::path& path, const fs::path& folder) {
  const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

/// Removes what the earlier run wrote and this one no longer makes (a format no longer asked
/// for): only files, only below the project's folder, reached through no link that leads out.
void RemoveDropped(const BatchOptions& options, const BatchProject& project,
                   const std::vector<std::string>& earlier, JobResult& result) {
  const std::vector<std::string> made = JobOutputs(options, project);
  std::error_code code;
  const fs::path folder = fs::weakly_canonical(OutPath(options, project.into), code);
  if (code) return;
  // An export's files beside its destination ("edit-insert.edl") go with it.
  std::vector<std::string> dropped;
  for (const std::string& old : earlier) {
    if (std::find(made.begin(), made.end(), old) != made.end()) continue;
    dropped.push_back(old);
    const ExportFormat* format = ExportFormatOfPath(old);
    const fs::path named = PathOfUtf8(old);
    for (const std::string& suffix : format ? format->files : std::vector<std::string>{})
      if (!suffix.empty())
        dropped.push_back(Utf8OfPath(named.parent_path() / named.stem()) + suffix +
                          Utf8OfPath(named.extension()));
  }
  for (const std::string& old : dropped) {
    const fs::path path = OutPath(options, old);
    const bool named = NamesBelow(PathOfUtf8(old), PathOfUtf8(project.into));
    const fs::path parent = named ? fs::weakly_canonical(path.parent_path(), code) : fs::path();
    if (!named || (!code && !Within(parent, folder))) {
      AddWarning(result, "removal",
                 "\"" + old + "\", named by the earlier result, lies outside \"" + project.into +
                     "\"; left alone");
      continue;
    }
    fs::file_status status;
    if (!code) status = fs::symlink_status(path, code);
    // Gone already, or a folder, which no result names as an output.
    if (!code && (!fs::exists(status) || fs::is_directory(status))) continue;
    if (!code && fs::remove(path, code)) result.removed.push_back(old);
    if (!code) continue;
    AddWarning(result, "removal",
               "cannot remove \"" + old + "\", which this run no longer makes: " + code.message());
  }
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
  std::error_code code;
  return Utf8OfPath(fs::absolute(PathOfUtf8(path), code).lexically_normal());
}

BatchOptions SelfContained(BatchOptions options) {
  options.out = AbsolutePath(options.out);
  for (std::string& rule : options.maps) {
    const std::size_t equals = rule.find('=');
    if (equals != std::string::npos && equals + 1 < rule.size())
      rule = rule.substr(0, equals + 1) + AbsolutePath(rule.substr(equals + 1));
  }
  for (std::string& folder : options.searchFolders) folder = AbsolutePath(folder);
  return options;
}

std::vector<std::string> JobOutputs(const BatchOptions& options, const BatchProject& project) {
  const std::string base = project.into + "/" + StemOf(project);
  std::vector<std::string> outputs;
  const std::string collected = CollectFolder(project) + "/" + StemOf(project);
  for (const std::string& format : options.formats)
    outputs.push_back((Collecting(options) ? collected : base) + ExtensionOf(format));
  if (Collecting(options)) outputs.push_back(collected + ".mpj");
  if (options.text) outputs.push_back(base + ".txt");
  if (!options.render.empty()) outputs.push_back(base + "." + options.render);
  outputs.push_back(base + ".svg");
  return outputs;
}

bool JobIsDone(const BatchOptions& options, const BatchProject& project) {
  std::string error;
  const auto bytes =
      ReadWholeFile(Utf8OfPath(OutPath(options, project.into + "/" + jobResultName)), error);
  if (!bytes) return false;
  const auto result = ParseResult(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
  if (!result || result->status == JobStatus::Failed || result->options != OptionsText(options))
    return false;
  std::error_code code;
  const auto projectTime = fs::last_write_time(PathOfUtf8(project.source), code);
  if (code) return false;
  for (const std::string& output : JobOutputs(options, project)) {
    const auto time = fs::last_write_time(OutPath(options, output), code);
    if (code || time <= projectTime) return false;
  }
  return true;
}

std::vector<std::string> JobArguments(const std::string& program, const BatchOptions& options,
                                      const BatchProject& project) {
  std::vector<std::string> arguments = {program,     "batch",        "--out",  options.out,
                                        "--project", project.source, "--into", project.into};
  for (const std::string& format : options.formats)
    arguments.insert(arguments.end(), {"--format", format});
  for (const auto& [name, value] : options.formatOptions)
    arguments.insert(arguments.end(), {"--" + name, value});
  if (options.text) arguments.push_back("--text");
  if (!options.render.empty()) arguments.insert(arguments.end(), {"--render", options.render});
  if (options.missing == MissingMedia::Black)
    arguments.insert(arguments.end(), {"--missing", "black"});
  for (const std::string& map : options.maps) arguments.insert(arguments.end(), {"--map", map});
  for (const std::string& folder : options.searchFolders)
    arguments.insert(arguments.end(), {"--search", folder});
  const TranscodeChoice& transcode = options.transcode;
  if (Collecting(options)) {
    arguments.insert(arguments.end(), {"--transcode", ChoiceOf(transcode.kind).name});
    if (transcode.trim)
      arguments.insert(arguments.end(), {"--trim", "--handles", std::to_string(transcode.handles)});
  }
  if (options.force) arguments.push_back("--force");
  return arguments;
}

JobResult RunBatchJob(const BatchOptions& options, const BatchProject& project,
                      const RunObserver& outer) {
  JobResult result;
  result.project = project.source;
  result.into = project.into;
  result.options = OptionsText(options);
  const std::vector<std::string> earlier = EarlierOutputs(options, project);
  try {
    std::error_code code;
    fs::create_directories(OutPath(options, project.into), code);
    if (code) {
      result.failures.push_back(Say("cannot create \"{0}\": {1}",
                                    Utf8PathName(Utf8OfPath(OutPath(options, project.into))),
                                    SystemReason(code)));
    } else if (Summarise(options, project, outer, result)) {
      StopOnlyObserver observer(outer);
      const std::vector<std::string> outputs = JobOutputs(options, project);
      std::size_t next = 0;
      if (Collecting(options)) {
        Collect(options, project, observer, outputs, result);
        next = options.formats.size() + 1;
      }
      for (const std::string& format :
           Collecting(options) ? std::vector<std::string>{} : options.formats) {
        ExportJob job;
        job.source = project.source;
        job.destination = Utf8OfPath(OutPath(options, outputs[next]));
        job.format = format;
        job.options = options.formatOptions;
        job.software = SoftwareChoice::Automatic();
        job.maps = options.maps;
        job.searchFolders = options.searchFolders;
        Note(RunExport(job, observer), "export " + format, outputs[next++], result);
      }
      if (options.text) {
        ToTextJob job;
        job.source = project.source;
        job.destination = Utf8OfPath(OutPath(options, outputs[next]));
        job.software = SoftwareChoice::Automatic();
        Note(RunProjectToText(job, observer), "text", outputs[next++], result);
      }
      if (!options.render.empty()) {
        RenderJob job;
        job.source = project.source;
        job.destination = Utf8OfPath(OutPath(options, outputs[next]));
        job.software = SoftwareChoice::Automatic();
        job.maps = options.maps;
        job.searchFolders = options.searchFolders;
        job.missing = options.missing;
        // One process: the batch already runs a job a core.
        job.jobs = 1;
        Note(RunRenderInProcesses(job, observer), "render", outputs[next++], result);
      }
      result.outputs.push_back(result.picture);
    }
  } catch (const RunStopped&) {
    result.status = JobStatus::Failed;
    result.failures = {"stopped"};
    return result;
  } catch (const std::exception& unexpected) {
    // The outputs already made stay; the one being made was not committed.
    result.failures.push_back(UnexpectedFailureMessage(project.source, unexpected.what()));
  }
  // Once the new outputs are in place: a stopped job never gets here.
  RemoveDropped(options, project, earlier, result);
  result.status = !result.failures.empty()  ? JobStatus::Failed
                  : !result.missing.empty() ? JobStatus::Missing
                                            : JobStatus::Succeeded;
  return result;
}

bool WriteJobResult(const BatchOptions& options, const JobResult& result, std::string& error) {
  OutputFile file;
  const std::string path = Utf8OfPath(OutPath(options, result.into + "/" + jobResultName));
  return file.Open(path, error) && file.Commit(ResultText(result), error);
}

}  // namespace pexol
