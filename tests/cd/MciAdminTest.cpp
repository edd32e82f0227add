// vxadmin's device commands with the virtual devices of VELUMIX_DEVICES.
#include <gtest/gtest.h>

#include <sstream>

#include "admin/AdminCommands.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/mci/MciTestSupport.h"

namespace vx {
namespace {

TEST(MciAdmin, DevicesAndCommandStrings) {
  mci::test::VirtualMachine machine;
  std::ostringstream out, err;
  ASSERT_EQ(admin::RunAdmin({"devices"}, out, err), 0) << err.str();
  const std::string devices = out.str();
  EXPECT_NE(devices.find("Wave outputs: 1\n  0, Virtual Output 1, "), std::string::npos);
  EXPECT_NE(devices.find("Virtual, 11k mono 8"), std::string::npos);  // the host API
  EXPECT_NE(devices.find("44k stereo 16, deck 1\n"), std::string::npos);
  EXPECT_NE(devices.find("Wave inputs: 0\n"), std::string::npos);
  EXPECT_NE(devices.find("CD drives: 1\n  D: " + machine.Tray() + "\n"), std::string::npos);
  EXPECT_NE(devices.find("MIDI outputs: 1\n  0, ??Unknown??, Software Click\n"), std::string::npos);
  // In split mode the one output carries both decks.
  ProfileSettings::Set(settings::kSplitOutput, 1);
  std::ostringstream split;
  ASSERT_EQ(admin::RunAdmin({"devices"}, split, err), 0);
  EXPECT_NE(split.str().find("44k stereo 16, deck 1 (left), deck 2 (right)\n"),
            std::string::npos);

  std::ostringstream replies;
  EXPECT_EQ(admin::RunAdmin({"mci", "open D: type cdaudio alias cdplay shareable",
                             "set cdplay time format tmsf", "status cdplay number of tracks",
                             "status cdplay length track 2", "status cdplay mode",
                             "close cdplay"},
                            replies, err),
            0);
  EXPECT_EQ(replies.str(), "\n\n4\n00:03:00\nstopped\n\n");

  std::ostringstream failed;
  EXPECT_EQ(admin::RunAdmin({"mci", "status cdplay mode"}, failed, err), 1);
  EXPECT_EQ(failed.str(),
            "MCI ERROR: No device is open under that name. CMD: status cdplay mode\n");
}

}  // namespace
}  // namespace vx
