#include "recorder/ImportSoundFileFlow.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "import/CMyOpen.h"
#include "import/ImportMp3File.h"
#include "import/ImportText.h"
#include "import/ValidateWavFile.h"
#include "library/SongLength.h"
#include "library/SongStore.h"
#include "platform/settings/ProfileSettings.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/AddSongSteps.h"
#include "recorder/CRecorderMainWindow.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// The MP3 branch: wraps the file and offers its ID3v1 details; the wrapped file is moved to
// the song's name.
std::optional<std::string> ImportMp3(CRecorderMainWindow& window, const std::string& source) {
  const RecorderState& state = window.State();
  Mp3Import mp3;
  if (!ImportMp3File(source, state.libraryFolder.toStdString(), mp3)) return std::nullopt;
  TemporarySongFile wrapped(mp3.tempPath);

  SongInfoSetup editor = AddSongSetup(state, kCodeMp3, wrapped.Path());
  SongPresets& presets = editor.presets;
  presets.name = QString::fromStdString(mp3.tag.title);
  presets.artist = QString::fromStdString(mp3.tag.artist);
  presets.album = QString::fromStdString(mp3.tag.album);
  presets.comments = QString::fromStdString(mp3.tag.comment);
  presets.attributes = QString::fromStdString(mp3.tag.genre);
  presets.length = QString::fromStdString(mp3.length);
  // A full year dates the song to its first day; otherwise the editor's own date stands.
  if (mp3.tag.year.size() == 4) {
    presets.songDate = QStringLiteral("01/01/") + QString::fromStdString(mp3.tag.year);
  }
  const std::optional<std::string> songFile =
      AddSongWithAudio(window, editor, SongAudioPlacement::Move(wrapped, Text(text::kCopyingFile)));
  if (songFile) wrapped.Keep();
  return songFile;
}

// The WAVE branch (any file not named .mp3): checked through the wave device, then copied
// to the song's name; the source itself stays where it is.
std::optional<std::string> ImportWav(CRecorderMainWindow& window, const std::string& source) {
  const RecorderState& state = window.State();
  assert(state.mci != nullptr);
  std::string lengthMs;
  const StatusLine statusLine = [&window](const QString& text) { window.SetStatusText(text); };
  if (!ValidateWavFile(*state.mci, statusLine, source, lengthMs)) return std::nullopt;

  SongInfoSetup editor = AddSongSetup(state, kCodePcm, source);
  editor.presets.length = QString::fromStdString(
      SongLengthText(static_cast<std::uint32_t>(std::strtoul(lengthMs.c_str(), nullptr, 10))));
  return AddSongWithAudio(window, editor,
                          SongAudioPlacement::Copy(source, Text(text::kCopyingFile)));
}

}  // namespace

void RunImportSoundFile(CRecorderMainWindow& window) {
  CMyOpen dialog(Text(text::kImportSongTitle), Text(text::kImportFilter));
  dialog.deleteSource = ProfileSettings::Get(settings::kDeleteOnImport) != 0;
  const std::optional<QString> chosen = dialog.DoModal();
  if (!chosen) return;
  ProfileSettings::Set(settings::kDeleteOnImport, dialog.deleteSource ? 1 : 0);
  const std::string source = chosen->toStdString();

  if (dialog.deleteSource && IsInSongsFolder(source, window.State().libraryFolder.toStdString())) {
    Ui().Message(QString::asprintf(text::kSourceInSongs, source.c_str()), MsgIcon::Exclamation);
    return;
  }

  const bool mp3 = chosen->right(4).toUpper() == QLatin1String(".MP3");
  const std::optional<std::string> songFile =
      mp3 ? ImportMp3(window, source) : ImportWav(window, source);
  if (!songFile) return;
  // Only now is the song complete; a source that cannot be deleted is simply left.
  if (dialog.deleteSource) std::remove(source.c_str());
  AnnounceNewSong(window, *songFile);
}

}  // namespace vx
