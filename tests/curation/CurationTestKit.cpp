#include "curation/CurationTestKit.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "library/CSongRecordset.h"
#include "platform/cdrom/TestDisc.h"
#include "platform/mci/MciSession.h"
#include "platform/wave/WaveDeviceList.h"
#include "support/TestFolder.h"

namespace vx::test {
namespace {

std::string Folder(const std::string& name) {
  const std::string folder = TestFolder() + "/" + name;
  std::filesystem::create_directories(folder);
  return folder;
}

std::string DevicesClause(const std::string& tape, const std::string& log,
                          const std::string& tray) {
  return "out=" + tape + ";midi=" + log + ";cd=" + tray;
}

void PutLe(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

CurationMachine::CurationMachine(const char* speed)
    : tape_(TestFolder() + "/tape.wav"),
      midiLog_(TestFolder() + "/midi.log"),
      tray_(Folder("tray")),
      library_(MakeTestLibrary()),
      devices_("VELUMIX_DEVICES", DevicesClause(tape_, midiLog_, tray_).c_str()),
      speed_("VELUMIX_SPEED", speed) {
  WriteTestDisc(tray_);
  wave::WaveDeviceList::InstallSystem(nullptr);
  db_.Open(library_ + "/Velumix.vxl");
}

CurationMachine::~CurationMachine() {
  db_.Close();
  wave::WaveDeviceList::InstallSystem(nullptr);
}

std::string CurationMachine::Mci(const std::string& command) {
  std::string reply;
  mci::MciSession::System().SendString(command, reply);
  return reply;
}

std::string CurationMachine::DiscIdentity() {
  std::string reply;
  mci::MciSession& session = mci::MciSession::System();
  session.SendString("open D: type cdaudio alias identitycheck", reply);
  std::string identity;
  session.SendString("info identitycheck identity", identity);
  session.SendString("close identitycheck", reply);
  return identity;
}

void CurationMachine::EmptyTray() {
  std::filesystem::remove(tray_ + "/disc.cue");
  std::filesystem::remove(tray_ + "/disc.bin");
}

void CurationMachine::LoadTestDisc(long thirdTrackSectors) {
  TestDiscLayout layout;
  layout.thirdTrackSectors = thirdTrackSectors;
  WriteTestDisc(tray_, layout);
}

void WriteSilentSong(const std::string& path, long ms) {
  const std::uint32_t rate = 8000;
  const auto dataBytes = static_cast<std::uint32_t>(std::uint64_t{static_cast<std::uint64_t>(ms)} * rate / 1000 * 2);
  std::string header = "RIFF";
  PutLe(header, 36 + dataBytes, 4);
  header += "WAVEfmt ";
  PutLe(header, 16, 4);
  PutLe(header, 1, 2);  // PCM
  PutLe(header, 1, 2);  // mono
  PutLe(header, rate, 4);
  PutLe(header, rate * 2, 4);  // bytes per second
  PutLe(header, 2, 2);         // block align
  PutLe(header, 16, 2);        // bits
  header += "data";
  PutLe(header, dataBytes, 4);
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(header.data(), static_cast<std::streamsize>(header.size()));
  }
  if (truncate(path.c_str(), static_cast<off_t>(header.size() + dataBytes)) != 0) {
    std::perror("truncate");
  }
}

void AddSong(dao::DaoDatabase& db, std::int32_t songId, char compression, const std::string& name) {
  CSongRecordset songs(db);
  songs.Open(dao::OpenType::Dynaset);
  songs.AddNew();
  songs.SongID = songId;
  songs.SongName = name;
  songs.SongArtist = "ARTIST";
  songs.SongCompression = std::string(1, compression);
  songs.Update();
  songs.Close();
}

void AddCue(dao::DaoDatabase& db, std::int32_t songId, const std::string& name, std::int16_t number,
            const std::string& offset) {
  CCueListRec cues(db);
  cues.Open(dao::OpenType::Dynaset);
  cues.AddNew();
  cues.SongID = songId;
  cues.CueDescription = name;
  cues.CueNumber = number;
  cues.CueOffset = offset;
  cues.Update();
  cues.Close();
}

std::vector<Cue> CuesOf(dao::DaoDatabase& db, std::int32_t songId) {
  CCueListRec cues(db);
  cues.SetFilter("SongID = " + std::to_string(songId));
  cues.SetSort("CueNumber, CueDescription");
  cues.Open(dao::OpenType::Snapshot);
  std::vector<Cue> found;
  for (; !cues.IsEOF(); cues.MoveNext()) {
    found.push_back({cues.CueDescription, cues.CueNumber, cues.CueOffset});
  }
  cues.Close();
  return found;
}

void PrintTo(const Cue& cue, std::ostream* out) {
  *out << '{' << cue.name << ", " << cue.number << ", " << cue.offset << '}';
}

std::vector<MidiLine> ReadMidiLog(const std::string& path) {
  std::ifstream file(path);
  std::vector<MidiLine> lines;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    MidiLine entry;
    std::string word;
    words >> entry.ms >> word;
    if (word == "volume") {
      entry.volume = true;
      words >> word;
    }
    entry.value = static_cast<std::uint32_t>(std::stoul(word, nullptr, 16));
    lines.push_back(entry);
  }
  return lines;
}

}  // namespace vx::test
