#include "recorder/COptionsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "platform/settings/ProfileSettings.h"
#include "recorder/RecorderText.h"

namespace vx {

COptionsDlg::COptionsDlg(const RecorderInventory& inventory, char cdDriveLetter,
                         int midiDevice, QWidget* parent)
    : QDialog(parent),
      cdRomList_(new QComboBox(this)),
      midiList_(new QComboBox(this)),
      showTips_(new QCheckBox(QString::fromUtf8(text::kShowTips), this)),
      cdDriveLetter_(cdDriveLetter),
      midiDevice_(midiDevice) {
  setWindowTitle(QString::fromUtf8(text::kOptionsTitle));

  cdRomList_->setObjectName(QStringLiteral("cdRomList"));
  for (const char letter : inventory.cdLetters) cdRomList_->addItem(QString(QLatin1Char(letter)));
  // A blank letter (several drives, none chosen yet) selects nothing.
  cdRomList_->setCurrentIndex(cdRomList_->findText(QString(QLatin1Char(cdDriveLetter))));
  cdRomList_->setEnabled(!inventory.cdLetters.empty());

  midiList_->setObjectName(QStringLiteral("midiList"));
  for (const std::string& line : inventory.midiOutputs) {
    midiList_->addItem(QString::fromStdString(line));
  }
  midiList_->setCurrentIndex(midiDevice < midiList_->count() ? midiDevice : -1);
  midiList_->setEnabled(!inventory.midiOutputs.empty());

  showTips_->setObjectName(QStringLiteral("showTips"));
  showTips_->setLayoutDirection(Qt::RightToLeft);  // the label reads "...:" before the box
  showTips_->setChecked(ProfileSettings::Get(settings::kTipStartUp) != 0);

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8(text::kCdRomDriveLabel), cdRomList_);
  form->addRow(QString::fromUtf8(text::kMidiDeviceLabel), midiList_);
  form->addRow(showTips_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDlg::OnOK);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

void COptionsDlg::OnOK() {
  const QString drive = cdRomList_->currentText();
  cdDriveLetter_ = drive.isEmpty() ? ' ' : drive.at(0).toLatin1();
  // With no MIDI output listed there is nothing to choose; the current device stays.
  if (midiList_->count() > 0) midiDevice_ = midiList_->currentIndex();
  ProfileSettings::Set(settings::kCdRomDrive, drive.left(1));
  ProfileSettings::Set(settings::kMidiDevice, midiDevice_);
  ProfileSettings::Set(settings::kTipStartUp, showTips_->isChecked() ? 1 : 0);
  accept();
}

}  // namespace vx
