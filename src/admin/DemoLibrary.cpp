// The demo library: its song list, and the writing of its rows (through the record classes,
// in one transaction) and of its song files (through the capture writer).
#include "admin/DemoLibrary.h"

#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "admin/DemoSongs.h"
#include "admin/LibraryCreator.h"
#include "library/CCueListRec.h"
#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/CueOffset.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/dao/DaoDatabase.h"
#include "recording/CWaveWriter.h"

namespace vx::admin {
namespace {

constexpr DemoSongType kTypes[] = {
    {"DISCO", "Disco"}, {"HOUSE", "House"}, {"POP", "Pop"}, {"TECHNO", "Techno"}};

constexpr DemoSong kSongs[] = {
    {"SUNRISE AVENUE", "THE NIGHT SHIFT", "HOUSE", 124, 32, 44100, 2, 11},
    {"IRON LATTICE", "MODULAR STATE", "TECHNO", 128, 30, 44100, 2, 23},
    {"GLITTER STAIRCASE", "VELVET MIRRORBALL", "DISCO", 118, 36, 44100, 1, 37},
    {"PAPER HEARTS", "JUNE AND THE KITES", "POP", 100, 38, 22050, 2, 41},
    {"NIGHT FREIGHT", "MODULAR STATE", "TECHNO", 140, 24, 22050, 1, 53},
    {"SLOW MOTION SUMMER", "JUNE AND THE KITES", "POP", 96, 40, 44100, 1, 67},
    {"LATE CHECKOUT", "THE NIGHT SHIFT", "HOUSE", 112, 28, 44100, 2, 79},
};

dao::DaoDateTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

void AddSongTypes(dao::DaoDatabase& db) {
  CSongTypeRecordSet types(db);
  types.Open(dao::OpenType::Dynaset);
  for (const DemoSongType& type : kTypes) {
    types.AddNew();
    types.SongTypeCode = type.code;
    types.SongTypeDescription = type.description;
    types.Update();
  }
  types.Close();
}

void WriteSongFile(const std::string& path, const DemoSong& song) {
  const std::vector<std::int16_t> samples =
      MakeDemoSamples(song.bpm, song.seconds, song.rate, song.channels, song.seed);
  const std::size_t bytes = samples.size() * sizeof(std::int16_t);
  CWaveWriter writer;
  if (!writer.Create(path, riff::WaveFormat::Pcm16(song.channels, song.rate))) {
    throw std::runtime_error("cannot create " + path);
  }
  const bool appended = writer.Append(samples.data(), bytes) == bytes;
  if (!writer.Close() || !appended) throw std::runtime_error("cannot write " + path);
}

void AddSongRow(dao::DaoDatabase& db, std::int32_t songId, const DemoSong& song) {
  CSongRecordset songs(db);
  songs.Open(dao::OpenType::Dynaset);
  songs.AddNew();
  songs.SongID = songId;
  songs.SongTypeCode = song.typeCode;
  songs.SongName = song.name;
  songs.SongArtist = song.artist;
  songs.SongAlbumName = "VELUMIX DEMO";
  songs.SongLabel = "VELUMIX";
  songs.SongDate = dao::DaoDateTime::Today();
  songs.SongRecordDate = dao::DaoDateTime::Today();
  songs.SongBPM = song.bpm;
  songs.SongAttributes = "DEMO";
  songs.SongLength = SongLengthText(static_cast<std::uint32_t>(song.seconds) * 1000);
  songs.SongCompression = std::string(1, kCodePcm);
  songs.SongComments = "GENERATED DEMO SONG";
  songs.Update();
  songs.Close();
}

void AddCues(dao::DaoDatabase& db, std::int32_t songId, const DemoSong& song) {
  const DemoSections sections = DemoSectionStarts(song.bpm, song.seconds);
  const struct {
    const char* description;
    std::uint32_t ms;
  } cues[] = {{"INTRO", 0}, {"DROP", sections.dropMs}, {"OUTRO", sections.outroMs}};
  CCueListRec rec(db);
  rec.Open(dao::OpenType::Dynaset);
  std::int16_t number = 0;
  for (const auto& cue : cues) {
    rec.AddNew();
    rec.SongID = songId;
    rec.CueNumber = ++number;
    rec.CueDescription = cue.description;
    rec.CueOffset = FormatCueOffset(CueMedium::kWave, static_cast<long>(cue.ms));
    rec.Update();
  }
  rec.Close();
}

void AddPlaylist(dao::DaoDatabase& db) {
  CPlaylist playlist(db);
  playlist.Open(dao::OpenType::Dynaset);
  playlist.AddNew();
  playlist.PlaylistName = kDemoPlaylistName;
  playlist.PlaylistDate = Now();
  playlist.CurrentSeqNum = 1;
  playlist.Update();
  playlist.Close();

  CPlaylistDtl entries(db);
  entries.Open(dao::OpenType::Dynaset);
  for (std::size_t i = 0; i < std::size(kSongs); ++i) {
    entries.AddNew();
    entries.PlaylistName = kDemoPlaylistName;
    entries.PlaylistSequenceNum = static_cast<std::int16_t>(i + 1);
    entries.SongID = static_cast<std::int32_t>(i + 1);
    entries.Update();
  }
  entries.Close();
}

void FillDemoLibrary(const std::string& folder) {
  dao::DaoDatabase db;
  db.Open(folder + "/" + kLibraryFileName);
  db.BeginTrans();
  try {
    AddSongTypes(db);
    for (std::size_t i = 0; i < std::size(kSongs); ++i) {
      const auto songId = static_cast<std::int32_t>(i + 1);
      AddSongRow(db, songId, kSongs[i]);
      AddCues(db, songId, kSongs[i]);
      WriteSongFile(SongFileName(folder, static_cast<std::uint32_t>(songId)), kSongs[i]);
    }
    AddPlaylist(db);
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
}

// Takes back what CreateDemoLibrary made after CreateLibrary succeeded.
void RemoveDemoLibrary(const std::string& folder) {
  std::error_code ignored;
  for (std::size_t i = 0; i < std::size(kSongs); ++i) {
    std::filesystem::remove(SongFileName(folder, static_cast<std::uint32_t>(i + 1)), ignored);
  }
  const std::string file = folder + "/" + kLibraryFileName;
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file + suffix, ignored);
}

}  // namespace

std::span<const DemoSong> DemoSongList() { return kSongs; }
std::span<const DemoSongType> DemoSongTypes() { return kTypes; }

void CreateDemoLibrary(const std::string& folder) {
  CreateLibrary(folder);
  try {
    FillDemoLibrary(folder);
  } catch (...) {
    RemoveDemoLibrary(folder);
    throw;
  }
}

}  // namespace vx::admin
