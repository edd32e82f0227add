#include "admin/BatchImport.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cd/CMciDevice.h"
#include "import/ImportMp3File.h"
#include "import/ImportText.h"
#include "import/ValidateWavFile.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/LibraryQueries.h"
#include "library/ReportDaoError.h"
#include "library/SongAdding.h"
#include "library/SongFieldLimits.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/UserInteraction.h"

namespace vx::admin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNotPlaced = "Could not copy the file into the library. The disk may be full.";
constexpr const char* kNotJudged = "The file could not be checked.";

bool EndsWith(const std::string& path, const char* ending) {
  const QString name = QString::fromStdString(path);
  return name.right(4).toUpper() == QLatin1String(ending);
}

bool IsMp3(const std::string& path) { return EndsWith(path, ".MP3"); }
bool IsSoundFile(const std::string& path) { return IsMp3(path) || EndsWith(path, ".WAV"); }

// Stands in for the person while one file is imported: every message the checks would show
// becomes part of the reason the file is refused; nothing is ever asked.
class CollectedMessages : public UserInteraction {
 public:
  CollectedMessages() : previous_(&Ui()) { SetUi(this); }
  ~CollectedMessages() override { SetUi(previous_); }
  CollectedMessages(const CollectedMessages&) = delete;
  CollectedMessages& operator=(const CollectedMessages&) = delete;

  using UserInteraction::Message;
  MsgAnswer Message(const MessageRequest& request) override {
    if (!text_.isEmpty()) text_ += QLatin1Char(' ');
    text_ += request.text;
    return MsgAnswer::Cancel;
  }
  std::optional<QString> OpenFile(const FileRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileRequest&) override { return std::nullopt; }
  std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }
  int RunModal(QDialog&) override { return 0; }

  // The messages shown so far, or fallback when there were none.
  std::string Reason(const char* fallback) const {
    return text_.isEmpty() ? std::string(fallback) : text_.toStdString();
  }

 private:
  UserInteraction* previous_;
  QString text_;
};

ImportedFile Refused(std::string reason) { return {ImportOutcome::kRefused, std::move(reason)}; }

// A field as the song editor would keep it: trimmed, in capitals, cut to its limit.
std::string Field(const std::string& text, int limit) {
  return LeftCharacters(QString::fromStdString(text).trimmed().toUpper(), limit).toStdString();
}

// What the editor would have been told of the new song.
struct NewSong {
  char media = kCodePcm;
  std::string name;
  std::string artist;
  std::string album;
  std::string attributes;
  std::string comments;
  std::string length;
  int year = 0;  // 0: dated today
};

// The name and artist a file name suggests.
void NamesFromFile(const std::string& source, NewSong& song) {
  const fs::path path(source);
  const std::string stem = path.stem().string();
  const std::size_t dash = stem.find(" - ");
  if (dash != std::string::npos && dash > 0 && dash + 3 < stem.size()) {
    song.artist = Field(stem.substr(0, dash), kSongArtistLimit);
    song.name = Field(stem.substr(dash + 3), kSongNameLimit);
  } else {
    song.name = Field(stem, kSongNameLimit);
    song.artist = Field(fs::absolute(path).parent_path().filename().string(), kSongArtistLimit);
  }
  if (song.name.empty()) song.name = Field(path.filename().string(), kSongNameLimit);
  if (song.artist.empty()) song.artist = song.name;
}

// The song already in the library under the same name and artist with the same length, as
// "Song %u"; nothing when there is none.
std::optional<std::string> SameSong(dao::DaoDatabase& db, const NewSong& song) {
  CSongRecordset songs(db);
  songs.SetFilter("SongName = '" + SqlQuote(song.name) + "' AND SongArtist = '" +
                  SqlQuote(song.artist) + "'");
  songs.Open(dao::OpenType::Snapshot);
  const std::uint32_t length = SongLengthMilliseconds(song.length);
  for (; !songs.IsEOF(); songs.MoveNext()) {
    if (SongLengthMilliseconds(songs.SongLength) == length) {
      return "already in the library as song " + std::to_string(songs.SongID);
    }
  }
  return std::nullopt;
}

std::string FirstTypeCode(dao::DaoDatabase& db) {
  const std::vector<std::string> codes = SongTypeCodes(db);
  return codes.empty() ? std::string() : codes.front();
}

std::int32_t WriteSongRow(dao::DaoDatabase& db, const NewSong& song, const std::string& type) {
  CSongRecordset songs(db);
  songs.Open(dao::OpenType::Dynaset);
  const std::int32_t songId = NewSongNumber(db);
  songs.AddNew();
  songs.SongID = songId;
  songs.SongCompression = std::string(1, song.media);
  songs.SongTypeCode = type;
  songs.SongName = song.name;
  songs.SongArtist = song.artist;
  songs.SongAlbumName = song.album;
  songs.SongRecordDate = dao::DaoDateTime::Today();
  songs.SongDate = song.year > 0 ? dao::DaoDateTime{song.year, 1, 1} : songs.SongRecordDate;
  songs.SongAttributes = song.attributes;
  songs.SongLength = song.length;
  songs.SongComments = song.comments;
  songs.Update();
  songs.Close();
  return songId;
}

// Adds the song unless the library has it already; with --move the source goes once the song
// is complete.
ImportedFile AddSong(dao::DaoDatabase& db, const BatchImportSettings& settings,
                     const NewSong& song, const std::string& source,
                     const SongAudioPlacement& audio) {
  if (std::optional<std::string> same = SameSong(db, song)) {
    return {ImportOutcome::kSkipped, *same};
  }
  std::string songFile;
  const SongAdded added = AddSongRowWithAudio(
      db, settings.libraryFolder,
      [&]() -> std::optional<std::int32_t> { return WriteSongRow(db, song, settings.typeCode); },
      audio, songFile);
  if (added != SongAdded::kAdded) return Refused(kNotPlaced);
  if (settings.move) std::remove(source.c_str());
  return {ImportOutcome::kImported, songFile};
}

}  // namespace

std::vector<std::string> CollectSoundFiles(const std::vector<std::string>& paths,
                                           std::vector<std::string>& missing) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
      std::vector<std::string> found;
      for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied,
                                               error),
           end;
           !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && IsSoundFile(it->path().string())) {
          found.push_back(it->path().string());
        }
      }
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::exists(path, error)) {
      files.push_back(path);
    } else {
      missing.push_back(path);
    }
  }
  return files;
}

std::vector<std::string> SongTypeCodes(dao::DaoDatabase& db) {
  CSongTypeRecordSet types(db);
  types.SetSort("SongTypeCode");
  types.Open(dao::OpenType::Snapshot);
  std::vector<std::string> codes;
  for (; !types.IsEOF(); types.MoveNext()) codes.push_back(types.SongTypeCode);
  return codes;
}

BatchImporter::BatchImporter(dao::DaoDatabase& db, CMciDevice& mci, BatchImportSettings settings)
    : db_(db), mci_(mci), settings_(std::move(settings)) {
  if (settings_.typeCode.empty()) settings_.typeCode = FirstTypeCode(db_);
}

ImportedFile BatchImporter::Import(const std::string& source) {
  if (settings_.move && IsInSongsFolder(source, settings_.libraryFolder)) {
    return Refused(QString::asprintf(text::kSourceInSongs, source.c_str()).toStdString());
  }
  try {
    return IsMp3(source) ? ImportMp3(source) : ImportWav(source);
  } catch (const dao::DaoException& error) {
    return Refused(DaoErrorText(error).toStdString());
  } catch (const std::exception& error) {
    return Refused(error.what());
  }
}

ImportedFile BatchImporter::ImportMp3(const std::string& source) {
  CollectedMessages messages;
  Mp3Import mp3;
  if (!ImportMp3File(source, settings_.libraryFolder, mp3)) {
    return Refused(messages.Reason(text::kMp3OutputError));
  }
  TemporarySongFile wrapped(mp3.tempPath);

  NewSong song;
  song.media = kCodeMp3;
  NamesFromFile(source, song);
  if (!Field(mp3.tag.title, kSongNameLimit).empty()) song.name = Field(mp3.tag.title, kSongNameLimit);
  if (!Field(mp3.tag.artist, kSongArtistLimit).empty()) {
    song.artist = Field(mp3.tag.artist, kSongArtistLimit);
  }
  song.album = Field(mp3.tag.album, kSongAlbumLimit);
  song.attributes = Field(mp3.tag.genre, kSongAttributesLimit);
  song.comments = Field(mp3.tag.comment, kSongCommentsLimit);
  song.length = mp3.length;
  if (mp3.tag.year.size() == 4) song.year = std::atoi(mp3.tag.year.c_str());
  const ImportedFile result = AddSong(db_, settings_, song, source, SongAudioPlacement::Move(wrapped));
  if (result.outcome == ImportOutcome::kImported) wrapped.Keep();
  return result;
}

ImportedFile BatchImporter::ImportWav(const std::string& source) {
  CollectedMessages messages;
  std::string lengthMs;
  if (!ValidateWavFile(mci_, [](const QString&) {}, source, lengthMs)) {
    return Refused(messages.Reason(kNotJudged));
  }
  NewSong song;
  NamesFromFile(source, song);
  song.length =
      SongLengthText(static_cast<std::uint32_t>(std::strtoul(lengthMs.c_str(), nullptr, 10)));
  return AddSong(db_, settings_, song, source, SongAudioPlacement::Copy(source));
}

}  // namespace vx::admin
