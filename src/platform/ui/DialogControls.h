// Small makers for the controls every dialog builds the same way, so that each dialog's
// constructor reads as its layout.
#pragma once

#include "platform/ui/TextFields.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace vx {

// A push button with its caption (mnemonic included) and object name that does not become
// the default button when it takes the focus: Enter keeps pressing the dialog's default.
QPushButton* MakeButton(const char* caption, const char* objectName, QWidget* parent);

// A one-line edit field with its object name and text rule (capitals, character limit).
QLineEdit* MakeEdit(QWidget* parent, const char* objectName, TextRule rule);

}  // namespace vx
