// batch/BatchJob.h - one project's job: its outputs, its result file, its command line
#pragma once

#include <string>
#include <vector>

#include "batch/JobResult.h"
#include "batch/ProjectFinder.h"
#include "collect/TranscodePlan.h"
#include "core/RunObserver.h"
#include "export/ExportWritten.h"
#include "render/RenderChoices.h"

namespace pexol {

/// What a batch makes of every project.
struct BatchOptions {
  std::string out;                   ///< DIR
  std::vector<std::string> formats;  ///< export format names: "otio", "mlt", ...
  FormatOptions formatOptions;       ///< the exports' options, as `ExportJob::options`
  bool text = false;                 ///< the text exchange file
  std::string render;                ///< a render's container ("mp4"); empty for none
  /// What the render does with media it cannot use: fail, or black and silence in their place.
  MissingMedia missing = MissingMedia::Fail;
  std::vector<std::string> maps;  ///< "PREFIX=FOLDER" rules
  std::vector<std::string> searchFolders;
  bool force = false;  ///< redo projects that are done
  /// Other than a copy: the project is collected into DIR/SUB/NAME/ with its movies and stills
  /// encoded again, and the exports are written there, naming the new files.
  TranscodeChoice transcode = {};
};

/// `path` made absolute (from the current folder) and lexically normal.
std::string AbsolutePath(const std::string& path);

/// The options as a job's command line gives them again: relative folders made absolute, so
/// that the line runs from any folder.
BatchOptions SelfContained(BatchOptions options);

/// The files the job writes, relative to DIR: each export, the text, the render (each named
/// after the project, "edit.otio"), then the timeline picture. With a transcode the exports
/// and the collected project lie in the project's own folder ("edit/edit.otio").
std::vector<std::string> JobOutputs(const BatchOptions& options, const BatchProject& project);

/// True when the project's result file says it was done with these options, without a
/// failure, and every output it names is there and newer than the project.
bool JobIsDone(const BatchOptions& options, const BatchProject& project);

/// The job's command line: `program` batch --out DIR --project FILE --into SUB and the options.
std::vector<std::string> JobArguments(const std::string& program, const BatchOptions& options,
                                      const BatchProject& project);

/// Does the job in this process: finds the media, draws the picture, writes each output as
/// the single-project command writes it (a failed one leaves its file as it was), then removes
/// the files the earlier result (or the one set aside as `earlierResultName`) names below the
/// project's folder that this run no longer makes, as `removed`. A project that cannot be read
/// fails at once. `observer` is asked only whether to stop; a stopped job removes nothing and
/// its status is Failed with the failure "stopped". The caller writes the result file.
JobResult RunBatchJob(const BatchOptions& options, const BatchProject& project,
                      const RunObserver& observer);

/// Writes `result` as the job's result file; false, with `error` set, when it cannot.
bool WriteJobResult(const BatchOptions& options, const JobResult& result, std::string& error);

}  // namespace pexol
