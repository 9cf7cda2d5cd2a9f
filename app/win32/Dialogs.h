// app/win32/Dialogs.h - the media folders and collect dialogs of the Win32 window
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/pages/MediaFolders.h"
#include "app/win32/Ui.h"

namespace pexol::win32 {

class Prompts;

/// Edits the media folders: a rule is a Windows folder and a local folder (with a chooser);
/// search folders are added with a chooser; `windowsFolder` (a missing clip's) starts a rule.
/// OK gives what the lists show.
std::optional<pages::MediaFolders> EditMediaFolders(HWND owner, const pages::MediaFolders& folders,
                                                    Prompts& prompts, const Metrics& metrics,
                                                    const std::string& windowsFolder = {});

/// The collect's choices: the folder, the exports written beside the project, links.
struct CollectChoice {
  std::string folder;
  std::vector<std::string> formats;
  bool link = false;
};
std::optional<CollectChoice> AskToCollect(HWND owner, Prompts& prompts, const Metrics& metrics);

}  // namespace pexol::win32
