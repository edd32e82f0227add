#include "curation/CSongInfoDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "curation/CurationText.h"
#include "library/CSongRecordset.h"
#include "library/LibraryText.h"
#include "platform/dao/DaoDatabase.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// Tools that record what the editor asked for and answer as told.
class RecordingTools : public SongEditorTools {
 public:
  std::optional<double> CountBpm(QWidget*, const BpmRequest& request) override {
    bpmRequests.push_back(request);
    return tempo;
  }
  void EditCueList(QWidget*, dao::DaoDatabase&, const CueListRequest& request) override {
    cueRequests.push_back(request);
  }
  std::optional<double> tempo;
  std::vector<BpmRequest> bpmRequests;
  std::vector<CueListRequest> cueRequests;
};

// The controls of a running editor.
struct Editor {
  explicit Editor(QDialog& dialog) : dialog(dialog) {}
  QLineEdit* Edit(const char* name) const { return dialog.findChild<QLineEdit*>(Text(name)); }
  QComboBox* Types() const { return dialog.findChild<QComboBox*>(QStringLiteral("typeList")); }
  QPlainTextEdit* Comments() const {
    return dialog.findChild<QPlainTextEdit*>(QStringLiteral("commentsEdit"));
  }
  QPushButton* Button(const char* name) const {
    return dialog.findChild<QPushButton*>(Text(name));
  }
  void Type(const char* field, const QString& text) const {
    QLineEdit* edit = Edit(field);
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Ok() const {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  }
  void Cancel() const {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  }
  QDialog& dialog;
};

class SongEditor : public testing::Test {
 protected:
  SongEditor() : folder_(test::MakeTestLibrary()) {
    database_.Open(folder_ + "/Velumix.vxl");
    database_.Execute(
        "INSERT INTO SongType VALUES ('ROCK', 'Rock'); INSERT INTO SongType VALUES ('HOUSE', "
        "'House'); INSERT INTO SongType VALUES ('POP', 'Pop');");
  }

  SongInfoSetup Setup(SongEditMode mode, std::int32_t songId = 0) const {
    SongInfoSetup setup;
    setup.mode = mode;
    setup.songId = songId;
    setup.today = QDate(2000, 2, 1);
    setup.filePath = QStringLiteral("/lib/Songs/VXR0001.tmp");
    return setup;
  }

  // Runs an editor; `drive` works the controls and presses a button. Answers the result.
  int Run(const SongInfoSetup& setup, const std::function<void(const Editor&)>& drive,
          std::int32_t* songId = nullptr) {
    CSongInfoDlg dialog(database_, setup, tools_);
    ui_.modalDriver = [&](QDialog& shown) {
      drive(Editor(shown));
      return shown.result();
    };
    const int result = dialog.Run();
    if (songId != nullptr) *songId = dialog.SongID();
    return result;
  }

  void StoreSong(const char* values) {
    database_.Execute(std::string("INSERT INTO Songs (SongID, SongTypeCode, SongName, SongArtist, "
                                  "SongAlbumName, SongLabel, SongDate, SongRecordDate, SongBPM, "
                                  "SongAttributes, SongLength, SongCdId, SongCdTrack, SongCDDB, "
                                  "SongCompression, SongComments) VALUES (") +
                      values + ")");
  }

  std::unique_ptr<CSongRecordset> Read(std::int32_t songId) {
    auto song = std::make_unique<CSongRecordset>(database_);
    song->SetFilter("SongID = " + std::to_string(songId));
    song->Open(dao::OpenType::Snapshot);
    return song;
  }

  long Count() {
    CSongRecordset songs(database_);
    songs.Open(dao::OpenType::Snapshot);
    long count = 0;
    for (; !songs.IsEOF(); songs.MoveNext()) ++count;
    return count;
  }

  test::ScriptedUi ui_;
  std::string folder_;
  dao::DaoDatabase database_;
  RecordingTools tools_;
};

TEST_F(SongEditor, AddNumbersTheSongAndWritesWhatWasTyped) {
  SongInfoSetup setup = Setup(SongEditMode::Add);
  setup.presets.length = QStringLiteral("00:03.500");
  setup.presets.songDate = QStringLiteral("1999");  // not 10 characters: today is shown
  QString title, recDate, songDate, length;
  QStringList types;
  std::int32_t songId = 0;
  const int result = Run(
      setup,
      [&](const Editor& editor) {
        title = editor.dialog.windowTitle();
        recDate = editor.Edit("recDateEdit")->text();
        songDate = editor.Edit("songDateEdit")->text();
        length = editor.Edit("lengthEdit")->text();
        for (int i = 0; i < editor.Types()->count(); ++i) types << editor.Types()->itemText(i);
        EXPECT_EQ(editor.Types()->currentIndex(), 0);
        editor.Types()->setCurrentIndex(1);
        editor.Type("nameEdit", QStringLiteral("first light"));
        editor.Type("artistEdit", QStringLiteral("the dawn"));
        editor.Type("bpmEdit", QStringLiteral("12a"));
        QTest::keyClicks(editor.Comments(), QStringLiteral("live take"));
        editor.Ok();
      },
      &songId);
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(title, Text(text::kAddNewSongTitle));
  EXPECT_EQ(recDate, QStringLiteral("02/01/2000"));
  EXPECT_EQ(songDate, QStringLiteral("02/01/2000"));
  EXPECT_EQ(length, QStringLiteral("00:03.500"));
  EXPECT_EQ(types, (QStringList{"HOUSE", "POP", "ROCK"}));
  EXPECT_EQ(songId, 1);  // the first song of an empty library

  const auto song = Read(1);
  ASSERT_FALSE(song->IsEOF());
  EXPECT_EQ(song->SongTypeCode, "POP");
  EXPECT_EQ(song->SongName, "FIRST LIGHT");
  EXPECT_EQ(song->SongArtist, "THE DAWN");
  EXPECT_EQ(song->SongBPM, 12.0);
  EXPECT_EQ(song->SongLength, "00:03.500");
  EXPECT_EQ(song->SongCompression, " ");
  EXPECT_EQ(song->SongComments, "LIVE TAKE");
  EXPECT_EQ(song->SongDate, (dao::DaoDateTime{2000, 2, 1}));
  EXPECT_EQ(song->SongRecordDate, (dao::DaoDateTime{2000, 2, 1}));

  // The next song gets the next number; an empty BPM is stored as 0; a preset date of ten
  // characters is shown.
  setup.presets.songDate = QStringLiteral("07/04/1976");
  EXPECT_EQ(Run(setup,
                [&](const Editor& editor) {
                  songDate = editor.Edit("songDateEdit")->text();
                  editor.Type("nameEdit", QStringLiteral("second"));
                  editor.Type("artistEdit", QStringLiteral("b"));
                  editor.Edit("bpmEdit")->clear();
                  editor.Ok();
                },
                &songId),
            QDialog::Accepted);
  EXPECT_EQ(songDate, QStringLiteral("07/04/1976"));
  EXPECT_EQ(songId, 2);
  EXPECT_EQ(Read(2)->SongBPM, 0.0);
  EXPECT_EQ(Read(2)->SongDate, (dao::DaoDateTime{1976, 7, 4}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SongEditor, RefusedFieldsKeepTheDialogOpenAndWriteNothing) {
  std::vector<QString> selected;
  const int result = Run(Setup(SongEditMode::Add), [&](const Editor& editor) {
    editor.Ok();  // no name
    editor.Type("nameEdit", QStringLiteral("name"));
    editor.Ok();  // no artist
    editor.Type("artistEdit", QStringLiteral("artist"));
    editor.Type("songDateEdit", QStringLiteral("02/30/1999"));
    editor.Ok();  // impossible date
    selected.push_back(editor.Edit("songDateEdit")->selectedText());
    editor.Cancel();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(ui_.Texts(), (std::vector<QString>{Text(text::kNeedSongName),
                                                Text(text::kNeedArtistName),
                                                Text(text::kBadSongDate)}));
  for (const MessageRequest& message : ui_.messages) {
    EXPECT_EQ(message.icon, MsgIcon::Exclamation);
  }
  EXPECT_EQ(selected, std::vector<QString>{QStringLiteral("02/30/1999")});
  EXPECT_EQ(Count(), 0);
}

TEST_F(SongEditor, ViewShowsTheSongReadOnlyAndUpdateChangesOnlyWhatWasEdited) {
  StoreSong("7, 'ho', 'NIGHT DRIVE', 'AXIS', 'ROADS', 'LBL', '1998-05-17 00:00:00', "
            "'1999-09-02 00:00:00', 126.5, 'FAST', '05:01.250', NULL, 4, -1698898419, ' ', "
            "'NOTES'");
  SongInfoSetup view = Setup(SongEditMode::View, 7);
  view.midiDevice = 0;
  QString title, type, bpm, songDate, recDate, track, cdId;
  bool readOnly = false, typesEnabled = true, bpmEnabled = true, cueEnabled = true;
  EXPECT_EQ(Run(view,
                [&](const Editor& editor) {
                  title = editor.dialog.windowTitle();
                  type = editor.Types()->currentText();
                  bpm = editor.Edit("bpmEdit")->text();
                  songDate = editor.Edit("songDateEdit")->text();
                  recDate = editor.Edit("recDateEdit")->text();
                  track = editor.Edit("cdTrackEdit")->text();
                  cdId = editor.Edit("cdIdEdit")->text();
                  readOnly = editor.Edit("nameEdit")->isReadOnly() &&
                             editor.Comments()->isReadOnly();
                  typesEnabled = editor.Types()->isEnabled();
                  bpmEnabled = editor.Button("setBpmButton")->isEnabled();
                  cueEnabled = editor.Button("cueListButton")->isEnabled();
                  editor.Ok();
                }),
            QDialog::Accepted);
  EXPECT_EQ(title, QStringLiteral("View Song 7"));
  EXPECT_EQ(type, QStringLiteral("HOUSE"));  // the first code that begins with the song's
  EXPECT_EQ(bpm, QStringLiteral("126.50"));
  EXPECT_EQ(songDate, QStringLiteral("05/17/1998"));
  EXPECT_EQ(recDate, QStringLiteral("09/02/1999"));
  EXPECT_EQ(track, QStringLiteral("4"));
  EXPECT_EQ(cdId, QStringLiteral("2596068877"));  // the CDDB value, unsigned
  EXPECT_TRUE(readOnly);
  EXPECT_FALSE(typesEnabled);
  EXPECT_FALSE(bpmEnabled);
  EXPECT_FALSE(cueEnabled);

  // Update: a new name and BPM; every other value stays as stored.
  SongInfoSetup update = Setup(SongEditMode::Update, 7);
  EXPECT_EQ(Run(update,
                [&](const Editor& editor) {
                  title = editor.dialog.windowTitle();
                  cueEnabled = editor.Button("cueListButton")->isEnabled();
                  editor.Type("nameEdit", QStringLiteral("night drive (edit)"));
                  editor.Type("bpmEdit", QStringLiteral("128"));
                  editor.Ok();
                }),
            QDialog::Accepted);
  EXPECT_EQ(title, QStringLiteral("Update Song 7"));
  EXPECT_FALSE(cueEnabled);  // an uncompressed WAVE song has no cue editor here
  const auto song = Read(7);
  EXPECT_EQ(song->SongName, "NIGHT DRIVE (EDIT)");
  EXPECT_EQ(song->SongBPM, 128.0);
  EXPECT_EQ(song->SongTypeCode, "HOUSE");
  EXPECT_EQ(song->SongArtist, "AXIS");
  EXPECT_EQ(song->SongDate, (dao::DaoDateTime{1998, 5, 17}));
  EXPECT_EQ(song->SongRecordDate, (dao::DaoDateTime{1999, 9, 2}));
  EXPECT_EQ(song->SongCdTrack, 4);
  EXPECT_EQ(song->SongCDDB, -1698898419);  // kept, not replaced by an empty preset
  EXPECT_EQ(song->SongCompression, " ");
  EXPECT_EQ(song->SongComments, "NOTES");

  // Cancel in Update writes nothing.
  EXPECT_EQ(Run(update,
                [&](const Editor& editor) {
                  editor.Type("nameEdit", QStringLiteral("changed"));
                  editor.Cancel();
                }),
            QDialog::Rejected);
  EXPECT_EQ(Read(7)->SongName, "NIGHT DRIVE (EDIT)");
}

TEST_F(SongEditor, ACdTrackTakesArtistAlbumLabelAndTypeFromItsDisc) {
  StoreSong("3, 'ROCK', 'TRACK ONE', 'BAND', 'O''NEIL LIVE', 'DISCS', NULL, NULL, 0, '', "
            "'03:00:10', 'A1''B2', 1, 0, 'C', ''");
  SongInfoSetup setup = Setup(SongEditMode::Add);
  setup.media = kCodeCd;
  setup.cdDriveLetter = 'D';
  setup.midiDevice = 0;
  setup.presets.cdTrack = 5;
  setup.presets.cdIdentity = QStringLiteral("A1'B2");
  setup.presets.length = QStringLiteral("04:10:20");
  setup.presets.name = QStringLiteral("ignored for CD tracks");
  QString artist, album, label, type, track, cdId, name;
  std::int32_t songId = 0;
  tools_.tempo = 97.126;
  EXPECT_EQ(Run(setup,
                [&](const Editor& editor) {
                  artist = editor.Edit("artistEdit")->text();
                  album = editor.Edit("albumEdit")->text();
                  label = editor.Edit("labelEdit")->text();
                  type = editor.Types()->currentText();
                  track = editor.Edit("cdTrackEdit")->text();
                  cdId = editor.Edit("cdIdEdit")->text();
                  name = editor.Edit("nameEdit")->text();
                  editor.Type("nameEdit", QStringLiteral("track five"));
                  editor.Button("setBpmButton")->click();
                  editor.Ok();
                },
                &songId),
            QDialog::Accepted);
  EXPECT_EQ(artist, QStringLiteral("BAND"));
  EXPECT_EQ(album, QStringLiteral("O'NEIL LIVE"));
  EXPECT_EQ(label, QStringLiteral("DISCS"));
  EXPECT_EQ(type, QStringLiteral("ROCK"));
  EXPECT_EQ(track, QStringLiteral("5"));
  EXPECT_EQ(cdId, QStringLiteral("A1'B2"));
  EXPECT_TRUE(name.isEmpty());
  EXPECT_EQ(songId, 4);

  // The BPM counter was asked for the CD song, and its tempo was stored.
  ASSERT_EQ(tools_.bpmRequests.size(), 1u);
  const BpmRequest& request = tools_.bpmRequests.front();
  EXPECT_EQ(request.media, kCodeCd);
  EXPECT_EQ(request.cdIdentity, QStringLiteral("A1'B2"));
  EXPECT_EQ(request.album, QStringLiteral("O'NEIL LIVE"));
  EXPECT_EQ(request.name, QStringLiteral("TRACK FIVE"));
  EXPECT_EQ(request.cdTrack, 5);
  EXPECT_EQ(request.cdDriveLetter, 'D');
  EXPECT_EQ(request.midiDevice, 0);
  EXPECT_TRUE(request.filePath.isEmpty());
  const auto song = Read(4);
  EXPECT_EQ(song->SongCompression, "C");
  EXPECT_EQ(song->SongCdId, "A1'B2");
  EXPECT_EQ(song->SongCdTrack, 5);
  EXPECT_EQ(song->SongLength, "04:10:20");
  EXPECT_DOUBLE_EQ(song->SongBPM, 97.13);  // as the field showed it
}

TEST_F(SongEditor, PresetsAreCutToTheFieldLimits) {
  SongInfoSetup setup = Setup(SongEditMode::Add);
  setup.media = kCodeMp3;
  setup.presets.name = QString(45, QLatin1Char('n'));
  setup.presets.artist = QString(41, QLatin1Char('a'));
  setup.presets.album = QString(44, QLatin1Char('l'));
  setup.presets.attributes = QString(60, QLatin1Char('t'));
  setup.presets.comments = QString(300, QLatin1Char('c'));
  setup.presets.cdTrack = 9;
  setup.presets.cddb = 0x9a0b1c0d;
  QString track, cdId;
  EXPECT_EQ(Run(setup,
                [&](const Editor& editor) {
                  track = editor.Edit("cdTrackEdit")->text();
                  cdId = editor.Edit("cdIdEdit")->text();
                  editor.Ok();
                }),
            QDialog::Accepted);
  EXPECT_EQ(track, QStringLiteral("9"));
  EXPECT_EQ(cdId, QStringLiteral("2584419341"));
  const auto song = Read(1);
  // Cut, and in capitals as everything the fields hold.
  EXPECT_EQ(song->SongName, std::string(40, 'N'));
  EXPECT_EQ(song->SongArtist, std::string(40, 'A'));
  EXPECT_EQ(song->SongAlbumName, std::string(40, 'L'));
  EXPECT_EQ(song->SongAttributes, std::string(50, 'T'));
  EXPECT_EQ(song->SongComments, std::string(255, 'C'));
  EXPECT_EQ(song->SongCompression, "M");
  EXPECT_EQ(song->SongCdTrack, 9);
  EXPECT_EQ(static_cast<std::uint32_t>(song->SongCDDB), 0x9a0b1c0du);
}

TEST_F(SongEditor, TheToolButtonsFollowTheModeTheMediaAndTheMidiDevice) {
  StoreSong("1, 'POP', 'WAVE', 'A', '', '', NULL, NULL, 120, '', '', NULL, 0, 0, ' ', ''");
  StoreSong("2, 'POP', 'PACKED', 'A', '', '', NULL, NULL, 120, '', '', NULL, 0, 0, 'A', ''");
  struct Case {
    SongEditMode mode;
    std::int32_t songId;
    int midiDevice;
    bool bpm;
    bool cue;
  } cases[] = {
      {SongEditMode::Add, 0, -1, false, false},    {SongEditMode::Add, 0, 1, true, false},
      {SongEditMode::Update, 1, -1, false, false}, {SongEditMode::Update, 2, -1, false, true},
      {SongEditMode::Update, 2, 1, true, true},    {SongEditMode::View, 2, 1, false, false},
  };
  for (const Case& c : cases) {
    SongInfoSetup setup = Setup(c.mode, c.songId);
    setup.midiDevice = c.midiDevice;
    Run(setup, [&](const Editor& editor) {
      EXPECT_EQ(editor.Button("setBpmButton")->isEnabled(), c.bpm) << int(c.mode) << c.songId;
      EXPECT_EQ(editor.Button("cueListButton")->isEnabled(), c.cue) << int(c.mode) << c.songId;
      editor.Cancel();
    });
  }

  // The cue editor of a compressed song gets its number, name and file.
  SongInfoSetup setup = Setup(SongEditMode::Update, 2);
  setup.filePath = QStringLiteral("/lib/Songs/Song0000000002.Wav");
  tools_.tempo.reset();  // the BPM counter is cancelled: the field keeps its text
  QString bpm;
  setup.midiDevice = 0;
  Run(setup, [&](const Editor& editor) {
    editor.Button("cueListButton")->click();
    editor.Button("setBpmButton")->click();
    bpm = editor.Edit("bpmEdit")->text();
    editor.Cancel();
  });
  ASSERT_EQ(tools_.cueRequests.size(), 1u);
  EXPECT_EQ(tools_.cueRequests[0].songId, 2);
  EXPECT_EQ(tools_.cueRequests[0].media, kCodeAdpcm);
  EXPECT_EQ(tools_.cueRequests[0].name, QStringLiteral("PACKED"));
  EXPECT_EQ(tools_.cueRequests[0].filePath, setup.filePath);
  ASSERT_EQ(tools_.bpmRequests.size(), 1u);
  EXPECT_EQ(tools_.bpmRequests[0].bpm, 120.0);
  EXPECT_EQ(tools_.bpmRequests[0].filePath, setup.filePath);
  EXPECT_EQ(bpm, QStringLiteral("120.00"));
}

TEST_F(SongEditor, ToolsNotYetBuiltSaySoOnTheStatusLine) {
  StoreSong("2, 'POP', 'PACKED', 'A', '', '', NULL, NULL, 120, '', '', NULL, 0, 0, 'M', ''");
  std::vector<QString> status;
  UnavailableSongEditorTools unavailable([&](const QString& text) { status.push_back(text); });
  SongInfoSetup setup = Setup(SongEditMode::Update, 2);
  setup.midiDevice = 0;
  CSongInfoDlg dialog(database_, setup, unavailable);
  ui_.modalDriver = [](QDialog& shown) {
    const Editor editor(shown);
    editor.Button("setBpmButton")->click();
    editor.Button("cueListButton")->click();
    editor.Cancel();
    return shown.result();
  };
  dialog.Run();
  EXPECT_EQ(status, (std::vector<QString>{Text(text::kBpmCounterNotAvailable),
                                          Text(text::kCueEditorNotAvailable)}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SongEditor, ASongThatCannotBeReadIsReportedAndNeverShown) {
  CSongInfoDlg dialog(database_, Setup(SongEditMode::Update, 99), tools_);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_EQ(dialog.Run(), QDialog::Rejected);
  EXPECT_TRUE(ui_.dialogsRun.empty());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.messages[0].text.startsWith(Text(text::kDaoErrorIntro)));
  EXPECT_EQ(ui_.messages[0].icon, MsgIcon::Stop);
}

}  // namespace
}  // namespace vx
