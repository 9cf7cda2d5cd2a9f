// app/AboutPage.h - the "about" page: icon, name, version and notice
#pragma once

#include <QWidget>

namespace pexol {

/// The program's name, version and notice; no input.
class AboutPage final : public QWidget {
  Q_OBJECT

 public:
  explicit AboutPage(const QIcon& icon);
};

/// The program icon, drawn for pexol and shipped with it.
QIcon ProgramIcon();

}  // namespace pexol
