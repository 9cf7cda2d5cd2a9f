// app/FileChooser.h - the "..." buttons: which dialog each opens and which field it fills
#pragma once

#include <QString>
#include <span>

#include "app/UserPrompts.h"

namespace pexol {

class CExchangeDlg;

/// One "..." button of the window.
struct FileChooser {
  int buttonId = 0;
  int editId = 0;  ///< the edit that shows the field
  FileDialogRequest request;
  QString CExchangeDlg::*field = nullptr;  ///< the only field the chooser changes
};

/// All the window's choosers, in the order of their pages.
std::span<const FileChooser> FileChoosers();

/// The chooser of the "..." button with `buttonId`; nullptr when there is none.
const FileChooser* FindChooser(int buttonId);

}  // namespace pexol
