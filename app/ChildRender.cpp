// app/ChildRender.cpp - the render page's run: pexol-cli's JSON lines turned into progress and a
// result
#include "app/ChildRender.h"

#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>
#include <nlohmann/json.hpp>
#include <utility>

#include "app/pages/Language.h"
#include "core/Translation.h"
#include "render/RenderOutcome.h"

namespace pexol {

namespace {

/// How long a child may take to stop after each signal before the next, harder one.
constexpr qint64 stopGraceMs = 10000;
constexpr int pollMs = 50;
constexpr std::size_t maxNotes = 12;

QString Clock(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

/// What the child said, gathered as it said it.
struct ChildReport {
  bool ended = false;  ///< its result object arrived
  RunResult result;
  std::vector<std::string> warnings;
  std::vector<std::string> notes;  ///< lines that are not JSON: what the child printed otherwise
};

std::optional<Software> SoftwareNamed(const std::string& name) {
  for (const Software software : {Software::CorvaneBrisko, Software::Lumetta})
    if (name == SoftwareName(software)) return software;
  return std::nullopt;
}

void ShowProgress(const nlohmann::json& object, RunObserver& observer) {
  observer.Progress(object.value("percent", 0), 100);
  if (object.value("unit", "") != "frames") {
    observer.Status(object.value("status", ""));
    return;
  }
  const long long done = object.value("done", 0LL), total = object.value("total", 0LL);
  const double fps = object.value("fps", 0.0);
  const std::string rate = QString::number(fps, 'f', 1).toStdString();
  const bool timed = object.contains("remaining");
  const std::string left = timed ? Clock(object.value("remaining", 0.0)).toStdString() : "";
  // Each combination a whole line, as a translator sees it.
  if (fps > 0 && timed)
    observer.Status(
        Say("rendering frame {0} of {1}, {2} frames a second, {3} left", done, total, rate, left));
  else if (fps > 0)
    observer.Status(Say("rendering frame {0} of {1}, {2} frames a second", done, total, rate));
  else if (timed)
    observer.Status(Say("rendering frame {0} of {1}, {2} left", done, total, left));
  else
    observer.Status(Say("rendering frame {0} of {1}", done, total));
}

void ReadLine(const QByteArray& bytes, ChildReport& report, RunObserver& observer) {
  const QByteArray line = bytes.trimmed();
  if (line.isEmpty()) return;
  const nlohmann::json object = nlohmann::json::parse(line.begin(), line.end(), nullptr, false);
  if (!object.is_object() || !object.contains("type")) {
    // The last lines say most of how a child ended; a chatty one does not fill the message.
    if (report.notes.size() == maxNotes) report.notes.erase(report.notes.begin());
    report.notes.push_back(line.toStdString());
    return;
  }
  const std::string type = object.value("type", "");
  if (type == "progress") {
    ShowProgress(object, observer);
  } else if (type == "warning") {
    report.warnings.push_back(object.value("message", ""));
  } else if (type == "result") {
    report.ended = true;
    const std::string status = object.value("status", "failed");
    report.result.status = status == "completed" ? RunResult::Status::Completed
                           : status == "stopped" ? RunResult::Status::Stopped
                                                 : RunResult::Status::Failed;
    report.result.message = InWindowWords(object.value("message", ""));
    report.result.chosenSoftware = SoftwareNamed(object.value("software", ""));
    if (object.contains("frames"))
      report.result.outcome =
          RenderOutcome{object.value("frames", 0LL), object.value("seconds", 0.0)};
  }
  // "message" objects repeat what the result holds (the software chosen).
}

/// In the child, before it runs the program: the signals Cancel sends end it, as they would a
/// program started from a terminal. A window started with SIGINT ignored (from a script, with
/// "&") would otherwise pass that on, and Cancel would do nothing the first time.
void TakeStopSignals() {
  for (const int signal : {SIGINT, SIGTERM}) ::signal(signal, SIG_DFL);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

/// How a child that gave no result ended, as a whole sentence.
std::string HowItEnded(const QProcess& process, const std::string& program) {
  if (process.exitStatus() == QProcess::CrashExit) {
    const int signal = process.exitCode();  // a crashed child's code is the signal's number
    const char* name = signal > 0 ? ::strsignal(signal) : nullptr;
    if (name != nullptr)
      return Say(
          "The render process ({0}) was ended by signal {1} ({2}). The destination was "
          "not replaced.",
          program, signal, name);
    return Say(
        "The render process ({0}) was ended by signal {1}. The destination was not "
        "replaced.",
        program, signal);
  }
  return Say(
      "The render process ({0}) ended with exit status {1} without saying how the render "
      "went. The destination was not replaced.",
      program, process.exitCode());
}

// Every failure of the child's run opens with the same line.
RunResult RenderFailed(const std::string& why) {
  return RunResult::Failed(Say("render failed\n\n{0}", why));
}

}  // namespace

QString RenderProgram() {
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {here + QStringLiteral("/pexol-cli"), here + QStringLiteral("/cli/pexol-cli")}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return candidate;
  }
  const QString named = qEnvironmentVariable("PEXOL_CLI");
  if (!named.isEmpty()) return named;
  return QStandardPaths::findExecutable(QStringLiteral("pexol-cli"));
}

RunResult RunChildRender(const QString& program, const QStringList& arguments,
                         RunObserver& observer) {
  if (program.isEmpty())
    return RenderFailed(
        std::string(Tr("pexol-cli, which renders for the window, is neither beside "
                       "the program nor on the PATH. Install it with the window.")));
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardInputFile(QProcess::nullDevice());
  process.setReadChannel(QProcess::StandardError);
  process.setChildProcessModifier(TakeStopSignals);
  // The render speaks the window's language, which the about page may have set apart from the
  // system's ("en" is English, as gettext reads it).
  if (const std::string language = pages::LanguageInUse(); language != SystemLanguage()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"),
                       language.empty() ? QStringLiteral("en") : QString::fromStdString(language));
    process.setProcessEnvironment(environment);
  }
  observer.Status(std::string(Tr("[Render] starting")));
  process.start();
  if (!process.waitForStarted(-1))
    return RenderFailed(Say("The render program {0} could not be started: {1}.",
                            program.toStdString(), process.errorString().toStdString()));

  ChildReport report;
  QElapsedTimer sinceSignal;
  int signalsSent = 0;
  while (process.state() != QProcess::NotRunning) {
    const bool stopWanted = observer.StopRequested();
    if (stopWanted && (signalsSent == 0 || sinceSignal.elapsed() > stopGraceMs)) {
      // As Ctrl-C: the first asks the render to stop and remove its partial file; a second
      // ends it at once (its temporary files still go); only a child deaf to both is killed.
      if (signalsSent < 2)
        ::kill(static_cast<pid_t>(process.processId()), signalsSent == 0 ? SIGINT : SIGTERM);
      else
        process.kill();
      ++signalsSent;
      sinceSignal.start();
    }
    process.waitForReadyRead(pollMs);
    while (process.canReadLine()) ReadLine(process.readLine(), report, observer);
  }
  process.waitForFinished(-1);
  const QList<QByteArray> rest = process.readAllStandardError().split('\n');
  for (const QByteArray& line : rest) ReadLine(line, report, observer);
  observer.Status("");

  if (!report.ended) {
    std::string message = HowItEnded(process, program.toStdString());
    if (!report.notes.empty()) {
      message += "\n\n";
      message += Tr("It said:");
      for (const std::string& note : report.notes) message += "\n" + InWindowWords(note);
    }
    return RenderFailed(message);
  }
  report.result.warnings = std::move(report.warnings);
  return std::move(report.result);
}

std::string InWindowWords(std::string message) {
  static const std::pair<std::string_view, std::string_view> words[] = {
      {"Find them with --map and --search (see 'pexol-cli check'), or render black and silence "
       "in their place with --missing black.",
       ToTranslate("Find them with \"media folders...\" (the \"find\" page checks them), or choose "
                   "\"render black and silence in their place\" under \"missing media\".")},
      {"name the part to render with --from and --to.",
       ToTranslate("name the part to render in \"from\" and \"to\".")},
      {"--from \"", "\"from\" \""},
      {"--to \"", "\"to\" \""},
      {"pexol-cli: the run failed:", ToTranslate("the render failed:")},
      {"pexol-cli: ", ""},
  };
  // The command line's words as it says them in English or, by the same catalogue, translated.
  for (const auto& [english, windowWords] : words) {
    const std::string_view ours = Tr(windowWords);
    for (const std::string_view theirs : {english, Tr(english)})
      for (std::size_t at = message.find(theirs); at != std::string::npos;
           at = message.find(theirs, at + ours.size()))
        message.replace(at, theirs.size(), ours);
  }
  return message;
}

}  // namespace pexol
