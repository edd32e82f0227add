#include "platform/ui/UserInteraction.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

#include "support/TestFolder.h"

namespace vx {

TEST(UserInteraction, PipeFiltersBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Velumix Database (Velumix.vxl)|Velumix.vxl|All Files (*.*)|*.*||"),
            "Velumix Database (Velumix.vxl);;All Files (*.*) (*)");
  EXPECT_EQ(QtNameFilters("Audio files (*.WAV, *.MP3)|*.wav;*.mp3||"),
            "Audio files (*.WAV, *.MP3) (*.wav *.mp3)");
  EXPECT_EQ(QtNameFilters(""), "");
}

// Answers the Qt file chooser once it is up: sets its check box, then picks the file (or
// cancels when file is empty).
void AnswerChooser(bool tick, const QString& file) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, tick, file] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll->stop();
    poll->deleteLater();
    auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("fileCheckBox"));
    EXPECT_NE(box, nullptr);
    if (box != nullptr) box->setChecked(tick);
    if (file.isEmpty()) {
      dialog->reject();
      return;
    }
    // Typed into the name field: selectFile() leaves that field alone once it has the focus,
    // which depends on when the window got activated.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    if (name != nullptr) name->setText(file);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  poll->start(10);
}

TEST(UserInteraction, TheQtFileChooserCarriesTheRequestsCheckBox) {
  const QString file = QString::fromStdString(test::TestFolder() + "/song.mp3");
  std::ofstream(file.toStdString()) << "x";
  bool box = false;
  FileRequest request;
  request.title = "Import Song";
  request.filter = "Audio files (*.WAV, *.MP3)|*.wav;*.mp3|All Files (*.*)|*.*||";
  request.mustExist = true;
  request.checkBoxText = "&Delete Source Audio File";
  request.checkBox = &box;

  AnswerChooser(true, "");
  EXPECT_EQ(Ui().OpenFile(request), std::nullopt);
  EXPECT_FALSE(box);  // cancelled: left alone

  AnswerChooser(true, file);
  EXPECT_EQ(Ui().OpenFile(request), file);
  EXPECT_TRUE(box);
}

}  // namespace vx
