// app/pages/MediumFacts.h - what the timeline's found media are, read off the window's thread
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/pages/RunThread.h"

namespace pexol::pages {

/// A found medium as a person reads it, in the chosen language; both empty where nothing could
/// be read (no media program, as on Windows).
struct MediumFacts {
  std::string summary;  ///< "AVI, DV (Digital Video) 720x480 29.97 fps, ..."
  std::string editors;  ///< "Premiere Pro, ...; with a plug-in: ...; not: ..."
};

/// Reads the facts of media files with the media program (`ProbeMedia`: one child process for
/// all of them) and the editors' table, on a thread of its own; the window never loads FFmpeg.
/// A new list stops the reading going on and replaces it.
class MediumFactsReading {
 public:
  /// `wake` posts a call of `Deliver` to the window's thread and does nothing else.
  explicit MediumFactsReading(std::function<void()> wake);
  ~MediumFactsReading();
  MediumFactsReading(const MediumFactsReading&) = delete;
  MediumFactsReading& operator=(const MediumFactsReading&) = delete;

  /// Forgets the facts read and reads those of `paths` (UTF-8, each a file found).
  void Read(std::vector<std::string> paths);
  /// Forgets the facts and stops a reading.
  void Clear() { Read({}); }
  /// True while facts are being read (or wait to be taken).
  bool Reading() const { return thread.Busy() || waiting.has_value(); }
  /// The wake's call: takes the facts read, or starts the list that waited. True when facts
  /// came.
  bool Deliver();
  /// Waits for the reading going on; `Deliver` still takes it.
  void Wait() { thread.Wait(); }
  /// The facts of `path`; null until they are read.
  const MediumFacts* Of(const std::string& path) const;

 private:
  void Start(std::vector<std::string> paths);

  std::function<void()> wake;
  std::map<std::string, MediumFacts> facts;
  std::map<std::string, MediumFacts> made;  ///< written by the reading's thread
  std::optional<std::vector<std::string>> waiting;
  std::atomic<bool> stop{false};
  NullObserver quiet;
  RunThread thread;  ///< last: joined before the rest goes
};

}  // namespace pexol::pages
