// The installer's window and its steps, driven as a person would: the licence answered, the
// platform given, the setup program started or missing, Cancel before the start.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "installer/CInstallerDlg.h"
#include "installer/CLicenseDlg.h"
#include "installer/InstallerText.h"
#include "platform/process/Process.h"
#include "platform/settings/SystemSettings.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx::installer {
namespace {

namespace fs = std::filesystem;

class InstallerDlgTest : public testing::Test {
 protected:
  InstallerDlgTest() {
    medium_ = fs::path(test::TestFolder()) / "medium";
    codecs_ = fs::path(test::TestFolder()) / "codecs";
    fs::create_directories(medium_ / "vx");
    std::ofstream(medium_ / text::kCodecSource) << "codec";
  }

  InstallerEnvironment Environment(const std::string& systemName = "Linux") {
    InstallerEnvironment environment;
    environment.mediumFolder = medium_.string();
    environment.codecFolder = codecs_.string();
    environment.systemName = systemName;
    environment.setSystemValue = [this](const QString& key, const QString& name,
                                        const QString& value) {
      registered_[key + "/" + name] = value;
      return true;
    };
    environment.startProgram = [this](const std::string& program) {
      started_.push_back(program);
      return 4242;
    };
    return environment;
  }

  // Runs the steps as the timer would, with the licence answered as told.
  InstallOutcome Install(CInstallerDlg& window, bool agree) {
    ui_.modalDriver = [&](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(text::kLicenseTitle));
      auto* licence = dynamic_cast<CLicenseDlg*>(&dialog);
      EXPECT_NE(licence, nullptr);
      if (licence == nullptr) return int(QDialog::Rejected);
      (agree ? licence->AgreeButton() : licence->DisagreeButton())->click();
      return dialog.result();
    };
    window.OnTimer();
    return window.Outcome();
  }

  bool NothingInstalled() const {
    return !fs::exists(codecs_) && registered_.empty() && started_.empty();
  }

  test::ScriptedUi ui_;
  fs::path medium_;
  fs::path codecs_;
  std::map<QString, QString> registered_;
  std::vector<std::string> started_;
};

TEST_F(InstallerDlgTest, AcceptedOnLinuxInstallsTheCodecAndStartsSetup) {
  CInstallerDlg window(Environment());
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8(text::kInstallTitle));
  EXPECT_EQ(window.Status()->text(), QString::fromUtf8(text::kInitializing));

  EXPECT_EQ(Install(window, true), InstallOutcome::SetupStarted);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8(text::kInstallTitleLinux));
  EXPECT_EQ(window.Status()->text(), QString::fromUtf8(text::kStartingSetup));
  EXPECT_TRUE(fs::exists(codecs_ / text::kCodecTarget));
  EXPECT_EQ(registered_["Drivers32/msacm.l3acm"], "l3codecx.acm");
  EXPECT_EQ(registered_["drivers.desc/l3codecx.acm"],
            "Fraunhofer IIS MPEG Layer-3 Codec (decode only)");
  ASSERT_EQ(started_.size(), 1u);
  EXPECT_EQ(started_[0], (medium_ / "vx/setup").string());
  EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(InstallerDlgTest, NothingToCopyStillRegistersTheCodec) {
  fs::remove(medium_ / text::kCodecSource);
  CInstallerDlg window(Environment());
  EXPECT_EQ(Install(window, true), InstallOutcome::SetupStarted);
  EXPECT_FALSE(fs::exists(codecs_ / text::kCodecTarget));
  EXPECT_EQ(registered_.size(), 2u);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(InstallerDlgTest, RefusedLicenceOrOtherPlatformEndsWithItsMessageAndInstallsNothing) {
  {
    CInstallerDlg window(Environment());
    EXPECT_EQ(Install(window, false), InstallOutcome::Refused);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, QString::fromUtf8(text::kLicenseRefused));
    EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(text::kInstallTitle));
  }
  {
    CInstallerDlg window(Environment("FreeBSD"));
    EXPECT_EQ(Install(window, true), InstallOutcome::Unsupported);
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[1].text, QString::fromUtf8(text::kPlatformUnsupported));
    EXPECT_EQ(ui_.messages[1].icon, MsgIcon::Stop);
  }
  EXPECT_TRUE(NothingInstalled());
}

TEST_F(InstallerDlgTest, CancelBeforeTheTimerInstallsNothing) {
  CInstallerDlg window(Environment());
  window.show();
  ASSERT_TRUE(window.StartTimer().isActive());
  EXPECT_TRUE(window.StartTimer().isSingleShot());
  EXPECT_EQ(window.StartTimer().interval(), 4000);

  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(window.StartTimer().isActive());
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_EQ(window.Outcome(), InstallOutcome::NotRun);
  EXPECT_TRUE(ui_.dialogsRun.empty());
  EXPECT_TRUE(NothingInstalled());

  CInstallerDlg clicked(Environment());
  clicked.show();
  clicked.CancelButton()->click();
  EXPECT_FALSE(clicked.StartTimer().isActive());
  EXPECT_TRUE(NothingInstalled());
}

TEST_F(InstallerDlgTest, SetupIsStartedFromBesideTheInstallerNotTheCurrentFolder) {
  int pid = -1;
  InstallerEnvironment environment = Environment();
  environment.startProgram = [&pid](const std::string& program) {
    pid = SpawnDetached(program, {});
    return pid;
  };
  // Started from elsewhere, with no setup program on the medium.
  const fs::path startFolder = fs::current_path();
  fs::current_path(test::TestFolder());
  {
    CInstallerDlg window(environment);
    EXPECT_EQ(Install(window, true), InstallOutcome::SetupMissing);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, QString::fromUtf8(text::kSetupFailed));
    EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Stop);
  }

  const fs::path marker = fs::path(test::TestFolder()) / "setup-ran";
  {
    std::ofstream setup(medium_ / text::kSetupProgram);
    setup << "#!/bin/sh\necho \"$0\" > '" << marker.string() << "'\n";
  }
  fs::permissions(medium_ / text::kSetupProgram, fs::perms::owner_all);
  CInstallerDlg window(environment);
  EXPECT_EQ(Install(window, true), InstallOutcome::SetupStarted);
  EXPECT_EQ(ui_.messages.size(), 1u);
  fs::current_path(startFolder);
  // The installer does not wait for the setup program; the test does.
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream ran(marker);
  std::string program;
  std::getline(ran, program);
  EXPECT_EQ(program, (medium_ / "vx/setup").string());
}

TEST(LicenseDlg, RefusalIsTheDefaultAndEscapeRefuses) {
  CLicenseDlg licence;
  EXPECT_EQ(licence.windowTitle(), QString::fromUtf8(text::kLicenseTitle));
  EXPECT_TRUE(licence.Agreement()->isReadOnly());
  EXPECT_EQ(licence.Agreement()->toPlainText(), CLicenseDlg::AgreementText());
  for (const char* piece : text::kLicensePieces) {
    EXPECT_TRUE(CLicenseDlg::AgreementText().contains(QString::fromUtf8(piece).trimmed()));
  }
  EXPECT_EQ(licence.AgreeButton()->text(), "&Yes, I Agree");
  EXPECT_EQ(licence.DisagreeButton()->text(), "&No, I Do Not Agree");
  EXPECT_TRUE(licence.DisagreeButton()->isDefault());
  EXPECT_FALSE(licence.AgreeButton()->isDefault());

  licence.show();
  QTest::keyClick(licence.Agreement(), Qt::Key_Return);
  EXPECT_EQ(licence.result(), QDialog::Rejected);
  EXPECT_FALSE(licence.isVisible());

  licence.show();
  QTest::keyClick(&licence, Qt::Key_Escape);
  EXPECT_EQ(licence.result(), QDialog::Rejected);

  licence.show();
  licence.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&licence));
  QTest::keyClick(&licence, Qt::Key_Y, Qt::AltModifier);
  // A mnemonic clicks its button with a short animation.
  EXPECT_TRUE(QTest::qWaitFor([&] { return licence.result() == QDialog::Accepted; }, 2000));
}

}  // namespace
}  // namespace vx::installer
