#include "platform/ui/DialogControls.h"

#include <QLineEdit>
#include <QPushButton>

namespace vx {

QPushButton* MakeButton(const char* caption, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(objectName));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* objectName, TextRule rule) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromUtf8(objectName));
  SetTextRule(*edit, rule);
  return edit;
}

}  // namespace vx
