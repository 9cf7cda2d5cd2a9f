// app/ChildRender.h - a render run by pexol-cli in a process of its own, read back as a run
#pragma once

#include <QString>
#include <QStringList>

#include "core/RunObserver.h"
#include "run/RunResult.h"

namespace pexol {

/// The pexol-cli that renders for the window: the one beside the program (or in the build
/// tree's cli/ folder under it), else the PEXOL_CLI environment variable, else the PATH. Empty
/// when there is none.
QString RenderProgram();

/// Runs `program` with `arguments` and waits for it, on the calling thread (not the window's):
/// its JSON progress goes to `observer`, a stop that `observer` asks for is sent as Ctrl-C
/// would (SIGINT, then SIGTERM, then SIGKILL for a child that does not end; the child takes
/// those signals as the system's defaults have them, whatever the window ignores or blocks), and
/// its result
/// object becomes the result, in the window's words. A child that ends without one, crashed
/// or killed, is a failed run naming how it ended.
RunResult RunChildRender(const QString& program, const QStringList& arguments,
                         RunObserver& observer);

/// The command line's advice in a message put in the window's words: its buttons and choices
/// instead of options.
std::string InWindowWords(std::string message);

}  // namespace pexol
