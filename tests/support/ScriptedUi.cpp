#include "support/ScriptedUi.h"

#include <QDialog>

namespace vx::test {
namespace {

MsgAnswer DefaultAnswer(const MessageRequest& request) {
  static const std::vector<MsgAnswer> kOrder[] = {
      {MsgAnswer::Ok},
      {MsgAnswer::Ok, MsgAnswer::Cancel},
      {MsgAnswer::Yes, MsgAnswer::No},
      {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel},
      {MsgAnswer::Retry, MsgAnswer::Cancel}};
  const auto& order = kOrder[static_cast<int>(request.buttons)];
  const auto index = static_cast<std::size_t>(request.defaultButton);
  return index < order.size() ? order[index] : order.front();
}

std::optional<QString> Pop(std::deque<QString>& queue) {
  if (queue.empty()) return std::nullopt;
  const QString path = queue.front();
  queue.pop_front();
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QColor> Pop(std::deque<QColor>& queue) {
  if (queue.empty()) return std::nullopt;
  const QColor color = queue.front();
  queue.pop_front();
  if (!color.isValid()) return std::nullopt;
  return color;
}

}  // namespace

ScriptedUi::ScriptedUi() { SetUi(this); }

ScriptedUi::~ScriptedUi() { SetUi(nullptr); }

MsgAnswer ScriptedUi::Message(const MessageRequest& request) {
  messages.push_back(request);
  if (answers.empty()) return DefaultAnswer(request);
  const MsgAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<QString> ScriptedUi::OpenFile(const FileRequest& request) {
  fileRequests.push_back(request);
  if (request.checkBoxText.isEmpty() || request.checkBox == nullptr) return Pop(files);
  checkBoxesShown.push_back(*request.checkBox);
  bool box = *request.checkBox;
  if (!checkBoxAnswers.empty()) {
    box = checkBoxAnswers.front();
    checkBoxAnswers.pop_front();
  }
  auto chosen = Pop(files);
  if (chosen) *request.checkBox = box;
  return chosen;
}

std::optional<QString> ScriptedUi::SaveFile(const FileRequest& request) {
  fileRequests.push_back(request);
  return Pop(files);
}

std::optional<QColor> ScriptedUi::ChooseColor(const QColor&) { return Pop(colors); }

int ScriptedUi::RunModal(QDialog& dialog) {
  dialogsRun.push_back(dialog.windowTitle());
  return modalDriver ? modalDriver(dialog) : QDialog::Rejected;
}

std::vector<QString> ScriptedUi::Texts() const {
  std::vector<QString> texts;
  for (const MessageRequest& request : messages) texts.push_back(request.text);
  return texts;
}

}  // namespace vx::test
