// app/FileChooser.h - the seven "..." buttons: which dialog each opens and which field it fills
#pragma once

#include <QString>
#include <span>

#include "app/UserPrompts.h"

namespace pexol {

class CExchangeDlg;

/// One "..." button of the window.
struct FileChooser {
  int buttonId = 0;
  FileDialogRequest request;
  QString CExchangeDlg::*field = nullptr;  ///< the only field the chooser changes
};

/// All seven choosers, in the order of their pages.
std::span<const FileChooser> FileChoosers();

}  // namespace pexol
