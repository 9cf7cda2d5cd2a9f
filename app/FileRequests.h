// app/FileRequests.h - what the "..." buttons ask their file dialogs for, in Qt's strings
#pragma once

#include <QString>

#include "app/UserPrompts.h"
#include "app/pages/FileRequest.h"

namespace pexol {

/// "Corvane file (*.mpj);;all(*.*)" and "Text file (*.txt);;all(*.*)".
QString ProjectFilter();
QString TextFilter();
/// `types` followed by the entry that shows every file.
QString WithAllFiles(const QString& types);

/// An open or save dialog that starts listing `*.extension` and adds `extension` to a bare
/// name.
FileDialogRequest OpenFile(const QString& extension, const QString& filter);
FileDialogRequest SaveFile(const QString& extension, const QString& filter);
/// A dialog for an existing folder.
FileDialogRequest ChooseFolder();

/// The page layer's request in Qt's strings.
FileDialogRequest ToQt(const pages::FileRequest& request);

}  // namespace pexol
