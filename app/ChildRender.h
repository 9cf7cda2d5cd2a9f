// app/ChildRender.h - a render run by pexol-cli in a process of its own, read back as a run
#pragma once

#include <QString>
#include <QStringList>

#include "core/Options.h"
#include "core/RunObserver.h"
#include "run/RunResult.h"
#include "run/SoftwareChoice.h"

namespace pexol {

/// What the render page asks of the command line's `render`.
struct ChildRenderJob {
  QString source;
  QString destination;
  SoftwareChoice software = SoftwareChoice::Automatic();
  TimecodeMode timecode = TimecodeMode::NtscDrop;
  bool blackForMissing = false;
  int quality = 18;
  QString from, to;  ///< empty: the timeline's start, its end
  QString size;      ///< as --size takes it; empty: the project's own
  QStringList maps;
  QStringList searchFolders;
};

/// The arguments of `pexol-cli render` for `job`, with progress as JSON lines.
QStringList RenderArguments(const ChildRenderJob& job);

/// The pexol-cli that renders for the window: the one beside the program (or in the build
/// tree's cli/ folder under it), else the PEXOL_CLI environment variable, else the PATH. Empty
/// when there is none.
QString RenderProgram();

/// Runs `program` with `arguments` and waits for it, on the calling thread (not the window's):
/// its JSON progress goes to `observer`, a stop that `observer` asks for is sent as Ctrl-C
/// would (SIGINT, then SIGTERM, then SIGKILL for a child that does not end), and its result
/// object becomes the result, in the window's words. A child that ends without one, crashed
/// or killed, is a failed run naming how it ended.
RunResult RunChildRender(const QString& program, const QStringList& arguments,
                         RunObserver& observer);

/// The command line's advice in a message put in the window's words: its buttons and choices
/// instead of options.
std::string InWindowWords(std::string message);

}  // namespace pexol
