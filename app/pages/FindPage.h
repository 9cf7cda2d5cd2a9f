// app/pages/FindPage.h - the "find" page: a project's media looked for, or collected
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/pages/Page.h"
#include "collect/RunCollect.h"
#include "probe/MediaFacts.h"

namespace pexol::pages {

/// The report the find page starts with: none, written to the null device.
#ifdef _WIN32
inline constexpr const char* nullDevice = "nul";
#else
inline constexpr const char* nullDevice = "/dev/null";
#endif

/// Looks for a project's media files, with the media folders and the page's own search folder,
/// and writes what it did not find to the report; "collect..." gathers the project and the
/// media it finds in a new folder.
class FindPage final : public Page {
 public:
  FindPage();
  /// The next run is a check, or the collect `Collect` asked for.
  Driver MakeRun(const MediaFolders& media) override;
  /// Away from Windows a remembered report "nul", the name the page once started with, becomes
  /// the null device's own name.
  void Load(const SettingsStore& store, SettingsStore* live = nullptr) override;
  /// Makes the next run a collect into `folder` with exports in `formats` (format names),
  /// hard-linking where it can when `link`. The collect replaces nothing: it refuses a folder
  /// that is not empty, so the run is started without asking.
  /// Movies and stills are encoded again as `transcode` says (the Windows build, which cannot,
  /// leaves it a copy).
  void Collect(std::string folder, std::vector<std::string> formats, bool link,
               TranscodeChoice transcode = {});

  int source, searchFolder, report;  ///< fields

 private:
  struct CollectChoice {
    std::string folder;
    std::vector<std::string> formats;
    bool link = false;
    TranscodeChoice transcode;
  };
  std::optional<CollectChoice> collect;
};

/// A found file's line in the check's message: its name, what it is and the editors that open
/// it as it is.
std::string ProbedLine(const std::string& path, const MediaFacts& facts);
/// The check message's list of those lines, the first dozen of them.
std::string ProbedList(const std::vector<std::string>& lines);

/// The collect dialog's choices: one check box per export format, in the export's order.
struct CollectFormat {
  int id;
  std::string label;
  std::string name;
};
std::vector<CollectFormat> CollectFormats();

}  // namespace pexol::pages
