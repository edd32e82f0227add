// The main of every test program: one QApplication for the whole run, and per test a fresh
// temporary folder that holds the test's settings and runtime files.
#include <QApplication>
#include <QSettings>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/process/Process.h"
#include "support/TestFolder.h"

namespace {

class FreshFolderPerTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { vx::test::ResetTestFolder(); }
  void OnTestEnd(const testing::TestInfo& info) override {
    if (info.result() == nullptr || !info.result()->Failed()) {
      vx::test::RemoveTestFolder();
      return;
    }
    const std::string kept = vx::test::KeepTestFolder();
    if (!kept.empty()) std::printf("[ KEPT     ] %s\n", kept.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // VX_BIN_DIR: where the tests find the programs they start, beside the test program.
  setenv("VX_BIN_DIR", vx::ProgramFolder().c_str(), 1);
  testing::InitGoogleMock(&argc, argv);
  QApplication application(argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new FreshFolderPerTest);
  return RUN_ALL_TESTS();
}
