// app/AboutPage.h - the "about" page: icon, name, version and notice
#pragma once

#include <QWidget>

class QBoxLayout;

namespace pexol {

/// The program's name, version and notice, and the language the window speaks from its next
/// start.
class AboutPage final : public QWidget {
  Q_OBJECT

 public:
  explicit AboutPage(const QIcon& icon);

 private:
  void AddLanguageChoice(QBoxLayout* page);
};

/// The program icon, drawn for pexol and shipped with it.
QIcon ProgramIcon();

}  // namespace pexol
