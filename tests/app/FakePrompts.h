// tests/app/FakePrompts.h - records the window's message boxes and answers its file dialogs
#pragma once

#include <QList>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/UserPrompts.h"

namespace pexol {

/// Never opens anything: messages and questions are recorded, questions answered from a
/// queue (an empty queue answers the default, No) and file dialogs from another (an empty
/// queue or a null string is a cancelled dialog).
class FakePrompts final : public UserPrompts {
 public:
  struct Message {
    QString text;
    MessageIcon icon;
  };

  void ShowMessage(QWidget*, const QString& text, MessageIcon icon) override {
    messages.append({text, icon});
    if (onMessage) onMessage();
  }

  bool Question(QWidget*, const QString& text) override {
    questions.append(text);
    return !replies.isEmpty() && replies.takeFirst();
  }

  std::optional<QString> ChooseFile(QWidget*, const FileDialogRequest& request) override {
    requests.append(request);
    if (answers.isEmpty()) return std::nullopt;
    const QString answer = answers.takeFirst();
    if (answer.isNull()) return std::nullopt;
    return answer;
  }

  QList<Message> messages;
  QStringList questions;
  QList<bool> replies;  ///< true answers Yes
  QList<FileDialogRequest> requests;
  QStringList answers;              ///< a null string cancels that dialog
  std::function<void()> onMessage;  ///< runs while the box would be open
};

}  // namespace pexol
