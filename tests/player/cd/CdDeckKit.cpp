#include "cd/CdDeckKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library/CCueListRec.h"
#include "library/CSongRecordset.h"
#include "platform/mci/MciModeCode.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/cd/CdTrackList.h"
#include "support/TestFolder.h"

namespace vx::player::test {
namespace {

std::string Clauses(int outputs, const std::string& tray) {
  std::string clause = "out=";
  for (int i = 0; i < outputs; ++i) {
    if (i > 0) clause += ",";
    clause += vx::test::TestFolder() + "/cdtape" + std::to_string(i) + ".wav";
  }
  return clause + ";cd=" + tray;
}

std::string MakeTray() {
  const std::string tray = vx::test::TestFolder() + "/tray";
  WriteToneDisc(tray);
  return tray;
}

}  // namespace

CdMachine::CdMachine(int outputs, const char* speed)
    : tray_(MakeTray()),
      devices_("VELUMIX_DEVICES", Clauses(outputs, tray_).c_str()),
      speed_("VELUMIX_SPEED", speed) {
  wave::WaveDeviceList::InstallSystem(nullptr);
}

CdMachine::~CdMachine() {
  std::string reply;
  mci::MciSession::System().SendString("close all", reply);
  wave::WaveDeviceList::InstallSystem(nullptr);
}

std::string CdMachine::Tape(int output) const {
  return vx::test::TestFolder() + "/cdtape" + std::to_string(output) + ".wav";
}

void CdMachine::SetTrayOpen(bool open) const {
  const std::string marker = tray_ + "/open";
  if (open) {
    std::ofstream(marker, std::ios::trunc).put('\n');
  } else {
    std::filesystem::remove(marker);
  }
}

std::string CdMachine::DiscIdentity() const {
  mci::MciSession& session = mci::MciSession::System();
  mci::MciDeviceId id = 0;
  std::string identity;
  EXPECT_EQ(session.Open({mci::kCdAudioType, "D:", "identityprobe"}, id), mci::kMciOk);
  EXPECT_EQ(session.InfoIdentity(id, identity), mci::kMciOk);
  session.Close(id);
  return identity;
}

void LogTrack(TestLibrary& library, const std::string& identity, int track, std::int32_t songId,
              const std::string& name, const std::vector<std::string>& cues) {
  CSongRecordset songs(library.Db());
  songs.Open();
  songs.AddNew();
  songs.SongID = songId;
  songs.SongTypeCode = "HOUSE";
  songs.SongName = name;
  songs.SongArtist = "ARTIST " + std::to_string(songId);
  songs.SongAttributes = "ATTR";
  songs.SongBPM = 128;
  songs.SongCompression = "C";
  songs.SongCdId = identity;
  songs.SongCdTrack = static_cast<std::int16_t>(track);
  songs.Update();
  CCueListRec rows(library.Db());
  rows.Open();
  for (std::size_t n = 0; n < cues.size(); ++n) {
    rows.AddNew();
    rows.CueDescription = "CUE " + std::to_string(n + 1);
    rows.CueNumber = static_cast<std::int16_t>(n + 1);
    rows.CueOffset = cues[n];
    rows.SongID = songId;
    rows.Update();
  }
}

long DevicePosition(const CCdPlayerDlg& deck) {
  std::uint32_t position = 0;
  EXPECT_EQ(mci::MciSession::System().StatusPosition(deck.Device(), position), mci::kMciOk);
  return CdFramesOfMsf(position);
}

std::string DeviceMode(const CCdPlayerDlg& deck) {
  mci::MciMode mode = mci::MciMode::kNotReady;
  EXPECT_EQ(mci::MciSession::System().StatusMode(deck.Device(), mode), mci::kMciOk);
  return mci::ModeWord(mode);
}

}  // namespace vx::player::test
