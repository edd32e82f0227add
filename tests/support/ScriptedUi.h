// The test double of the user-interaction service: records every message, file request and
// modal run, and answers from queues the test fills. Installs itself while it lives.
#pragma once

#include <QColor>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/ui/UserInteraction.h"

namespace vx::test {

class ScriptedUi : public UserInteraction {
 public:
  ScriptedUi();
  ~ScriptedUi() override;

  using UserInteraction::Message;
  MsgAnswer Message(const MessageRequest& request) override;
  std::optional<QString> OpenFile(const FileRequest& request) override;
  std::optional<QString> SaveFile(const FileRequest& request) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  int RunModal(QDialog& dialog) override;

  // Texts of the messages shown, in order.
  std::vector<QString> Texts() const;

  std::vector<MessageRequest> messages;
  std::vector<FileRequest> fileRequests;
  std::vector<QString> dialogsRun;  // window titles

  // Answers given in order; when empty a message answers with its default button and a
  // file or colour request is cancelled. An empty path or invalid colour cancels too.
  std::deque<MsgAnswer> answers;
  std::deque<QString> files;
  std::deque<QColor> colors;
  // A file request's check box: the state it opened with, and the state the user leaves it
  // in when a file is chosen (when empty the box is left as it opened).
  std::vector<bool> checkBoxesShown;
  std::deque<bool> checkBoxAnswers;
  // Drives a modal dialog; without one the dialog is rejected at once.
  std::function<int(QDialog&)> modalDriver;
};

}  // namespace vx::test
