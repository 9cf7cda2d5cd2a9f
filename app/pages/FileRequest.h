// app/pages/FileRequest.h - what the "..." buttons ask their file dialogs for
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pexol::pages {

enum class FileDialogKind { Open, SaveAs, Folder };

/// What a file dialog is opened with.
struct FileRequest {
  FileDialogKind kind = FileDialogKind::Open;
  std::string defaultExtension;  ///< added to a typed name that has no extension
  std::string initialName;       ///< a pattern such as "*.mpj": the list starts showing its matches
  std::string filter;            ///< entries "label (*.a *.b)" separated by ";;"
};

/// "Corvane file (*.mpj);;all(*.*)" and "Text file (*.txt);;all(*.*)".
std::string ProjectFilter();
std::string TextFilter();
/// `types` followed by the entry that shows every file.
std::string WithAllFiles(std::string_view types);

/// An open or save dialog that starts listing `*.extension` and adds `extension` to a bare
/// name.
FileRequest OpenFile(std::string_view extension, std::string filter);
FileRequest SaveFile(std::string_view extension, std::string filter);
/// A dialog for an existing folder.
FileRequest ChooseFolder();

/// One entry of a filter: its whole text and the patterns in its parentheses.
struct FilterEntry {
  std::string label;     ///< "Corvane file (*.mpj)"
  std::string patterns;  ///< "*.mpj", several separated by ';' as Windows lists them
};
std::vector<FilterEntry> FilterEntries(std::string_view filter);

}  // namespace pexol::pages
