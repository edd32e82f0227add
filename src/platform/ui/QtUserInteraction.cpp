// The production user-interaction service on Qt Widgets.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

QMessageBox::Icon QtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

std::vector<std::pair<QMessageBox::StandardButton, MsgAnswer>> ButtonsOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {{QMessageBox::Ok, MsgAnswer::Ok}};
    case MsgButtons::OkCancel:
      return {{QMessageBox::Ok, MsgAnswer::Ok}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::YesNo:
      return {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}};
    case MsgButtons::YesNoCancel:
      return {{QMessageBox::Yes, MsgAnswer::Yes},
              {QMessageBox::No, MsgAnswer::No},
              {QMessageBox::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::RetryCancel:
      return {{QMessageBox::Retry, MsgAnswer::Retry}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
  }
  return {{QMessageBox::Ok, MsgAnswer::Ok}};
}

void Configure(QFileDialog& dialog, const FileRequest& request) {
  dialog.setWindowTitle(request.title);
  dialog.setNameFilter(QtNameFilters(request.filter));
  dialog.setDefaultSuffix(request.defaultExtension);
  if (!request.initialPath.isEmpty()) dialog.selectFile(request.initialPath);
}

// The request's extra check box, under the chooser's own controls; nullptr when it has none.
// The chooser is then Qt's own, since a desktop's native one cannot carry it.
QCheckBox* AddCheckBox(QFileDialog& dialog, const FileRequest& request) {
  if (request.checkBoxText.isEmpty() || request.checkBox == nullptr) return nullptr;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  auto* box = new QCheckBox(request.checkBoxText, &dialog);
  box->setObjectName(QStringLiteral("fileCheckBox"));
  box->setChecked(*request.checkBox);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  } else if (dialog.layout() != nullptr) {
    dialog.layout()->addWidget(box);
  }
  return box;
}

class QtUserInteraction final : public UserInteraction {
 public:
  using UserInteraction::Message;

  MsgAnswer Message(const MessageRequest& request) override {
    QMessageBox box(QtIcon(request.icon),
                    request.title.isEmpty() ? QApplication::applicationDisplayName()
                                            : request.title,
                    request.text, QMessageBox::NoButton, QApplication::activeWindow());
    const auto buttons = ButtonsOf(request.buttons);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      QPushButton* button = box.addButton(buttons[i].first);
      if (static_cast<int>(i) == request.defaultButton) box.setDefaultButton(button);
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [standard, answer] : buttons) {
      if (standard == clicked) return answer;
    }
    // Closed by Escape or the window's close box.
    return buttons.size() > 1 ? buttons.back().second : MsgAnswer::Ok;
  }

  std::optional<QString> OpenFile(const FileRequest& request) override {
    QFileDialog dialog(QApplication::activeWindow());
    Configure(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QCheckBox* box = AddCheckBox(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    if (box != nullptr) *request.checkBox = box->isChecked();
    return dialog.selectedFiles().front();
  }

  std::optional<QString> SaveFile(const FileRequest& request) override {
    QFileDialog dialog(QApplication::activeWindow());
    Configure(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return dialog.selectedFiles().front();
  }

  std::optional<QColor> ChooseColor(const QColor& initial) override {
    const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
  }

  int RunModal(QDialog& dialog) override { return dialog.exec(); }
};

}  // namespace

UserInteraction& QtUi() {
  static QtUserInteraction service;
  return service;
}

}  // namespace vx
