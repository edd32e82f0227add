#include "curation/CSongInfoDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cassert>
#include <charconv>
#include <string>

#include "curation/CurationText.h"
#include "curation/MediaBadge.h"
#include "curation/SongDates.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/GuardOperation.h"
#include "library/LibraryQueries.h"
#include "library/SongFieldLimits.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }
std::string ToStd(const QString& text) { return text.toStdString(); }

QLineEdit* MakeEdit(QWidget* parent, const char* objectName, TextRule rule = {}) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(Text(objectName));
  if (rule.capitals || rule.maxCharacters > 0) SetTextRule(*edit, rule);
  return edit;
}

}  // namespace

double LeadingNumber(const QString& text) {
  const std::string digits = text.trimmed().toStdString();
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() ? value : 0;
}

CSongInfoDlg::CSongInfoDlg(dao::DaoDatabase& database, SongInfoSetup setup,
                           SongEditorTools& tools, QWidget* parent)
    : QDialog(parent),
      database_(database),
      setup_(std::move(setup)),
      tools_(tools),
      songId_(setup_.songId),
      media_(setup_.media) {
  setWindowTitle(Text(text::kSongInfoTitle));
  BuildControls();
  loaded_ = GuardOperation([this] { Load(); });
}

CSongInfoDlg::~CSongInfoDlg() = default;

int CSongInfoDlg::Run() { return loaded_ ? Ui().RunModal(*this) : QDialog::Rejected; }

void CSongInfoDlg::BuildControls() {
  const bool editable = setup_.mode != SongEditMode::View;
  auto limit = [editable](bool capitals, int count) {
    return editable ? TextRule{capitals, count} : TextRule{};
  };

  typeList_ = new QComboBox(this);
  typeList_->setObjectName(QStringLiteral("typeList"));
  name_ = MakeEdit(this, "nameEdit", limit(true, kSongNameLimit));
  artist_ = MakeEdit(this, "artistEdit", limit(true, kSongArtistLimit));
  album_ = MakeEdit(this, "albumEdit", limit(true, kSongAlbumLimit));
  label_ = MakeEdit(this, "labelEdit", limit(true, kSongLabelLimit));
  attributes_ = MakeEdit(this, "attributesEdit", limit(true, kSongAttributesLimit));
  recDate_ = MakeEdit(this, "recDateEdit");
  recDate_->setReadOnly(true);
  bpm_ = MakeEdit(this, "bpmEdit", limit(false, kSongBpmLimit));
  songDate_ = MakeEdit(this, "songDateEdit", limit(false, kSongDateLimit));
  length_ = MakeEdit(this, "lengthEdit");
  length_->setReadOnly(true);
  cdTrack_ = MakeEdit(this, "cdTrackEdit");
  cdTrack_->setReadOnly(true);
  cdTrack_->setMaximumWidth(cdTrack_->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
  cdId_ = MakeEdit(this, "cdIdEdit");
  cdId_->setReadOnly(true);
  comments_ = new QPlainTextEdit(this);
  comments_->setObjectName(QStringLiteral("commentsEdit"));
  comments_->setTabChangesFocus(true);
  comments_->setFixedHeight(comments_->fontMetrics().lineSpacing() * 4 + 12);
  if (editable) SetTextRule(*comments_, {true, kSongCommentsLimit});

  mediaButton_ = new QToolButton(this);
  mediaButton_->setObjectName(QStringLiteral("mediaButton"));
  mediaButton_->setFocusPolicy(Qt::NoFocus);
  mediaButton_->setAutoRaise(true);
  mediaButton_->setIconSize(QSize(64, 32));
  setBpm_ = new QPushButton(Text(text::kSetBpmButton), this);
  setBpm_->setObjectName(QStringLiteral("setBpmButton"));
  setBpm_->setAutoDefault(false);
  cueList_ = new QPushButton(Text(text::kEditCueListButton), this);
  cueList_->setObjectName(QStringLiteral("cueListButton"));
  cueList_->setAutoDefault(false);
  connect(setBpm_, &QPushButton::clicked, this, &CSongInfoDlg::OnSetBpm);
  connect(cueList_, &QPushButton::clicked, this, &CSongInfoDlg::OnEditCueList);

  auto* grid = new QGridLayout;
  int row = 0;
  auto addRow = [&](const char* caption, QWidget* field, int span = 3) {
    auto* label = new QLabel(Text(caption), this);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, span);
    ++row;
  };
  addRow(text::kSongTypeLabel, typeList_, 1);
  grid->addWidget(mediaButton_, 0, 3, Qt::AlignRight);
  addRow(text::kSongNameLabel, name_);
  addRow(text::kArtistLabel, artist_);
  addRow(text::kAlbumLabel, album_);
  addRow(text::kLabelLabel, label_);
  addRow(text::kAttributesLabel, attributes_);

  auto* bpmRow = new QHBoxLayout;
  bpmRow->addWidget(bpm_);
  bpmRow->addWidget(setBpm_);
  auto* bpmLabel = new QLabel(Text(text::kBpmLabel), this);
  bpmLabel->setBuddy(bpm_);
  addRow(text::kRecDateLabel, recDate_, 1);
  grid->addWidget(bpmLabel, row - 1, 2, Qt::AlignRight);
  grid->addLayout(bpmRow, row - 1, 3);
  auto* lengthLabel = new QLabel(Text(text::kLengthLabel), this);
  addRow(text::kSongDateLabel, songDate_, 1);
  grid->addWidget(lengthLabel, row - 1, 2, Qt::AlignRight);
  grid->addWidget(length_, row - 1, 3);
  auto* cdRow = new QHBoxLayout;
  cdRow->addWidget(cdTrack_);
  cdRow->addWidget(cdId_, 1);
  auto* cdLabel = new QLabel(Text(text::kCdTrackIdLabel), this);
  grid->addWidget(cdLabel, row, 0);
  grid->addLayout(cdRow, row++, 1, 1, 3);
  addRow(text::kCommentsLabel, comments_);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->addButton(cueList_, QDialogButtonBox::ActionRole);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSongInfoDlg::OnOK);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  setMinimumWidth(560);
}

void CSongInfoDlg::Load() {
  song_ = std::make_unique<CSongRecordset>(database_);
  LoadTypes();
  if (setup_.mode == SongEditMode::Add) {
    PrepareNewSong();
  } else {
    LoadStoredSong();
  }
  mediaButton_->setIcon(MediaBadgeIcon(media_, QSize(64, 32)));
  mediaButton_->setToolTip(MediaBadgeTip(media_));
  ApplyModeRules();
}

void CSongInfoDlg::LoadTypes() {
  CSongTypeRecordSet types(database_);
  types.SetSort("SongTypeCode");
  types.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !types.IsEOF(); types.MoveNext()) typeList_->addItem(FromStd(types.SongTypeCode));
  typeList_->setCurrentIndex(typeList_->count() > 0 ? 0 : -1);
}

void CSongInfoDlg::SelectType(const QString& code) {
  // The first type that begins with the song's code; none keeps the first.
  const int index = typeList_->findText(code, Qt::MatchStartsWith);
  if (index >= 0) typeList_->setCurrentIndex(index);
}

void CSongInfoDlg::LoadStoredSong() {
  const bool view = setup_.mode == SongEditMode::View;
  song_->SetFilter("SongID = " + std::to_string(setup_.songId));
  if (view) {
    song_->Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  } else {
    song_->Open(dao::OpenType::Dynaset);
  }
  if (song_->IsEOF()) throw dao::DaoException(3021, "No current record.");
  if (!view) song_->Edit();

  const CSongRecordset& song = *song_;
  media_ = song.SongCompression.empty() ? kCodePcm : song.SongCompression.front();
  SelectType(FromStd(song.SongTypeCode));
  name_->setText(FromStd(song.SongName));
  artist_->setText(FromStd(song.SongArtist));
  album_->setText(FromStd(song.SongAlbumName));
  label_->setText(FromStd(song.SongLabel));
  attributes_->setText(FromStd(song.SongAttributes));
  recDate_->setText(SongDateText(song.SongRecordDate));
  bpm_->setText(QString::asprintf(text::kBpmFormat, song.SongBPM));
  songDate_->setText(SongDateText(song.SongDate));
  length_->setText(FromStd(song.SongLength));
  cdTrack_->setText(QString::asprintf(text::kSongTrackFormat, int(song.SongCdTrack)));
  cdId_->setText(IsCd() ? FromStd(song.SongCdId)
                        : QString::asprintf(text::kCddbFormat,
                                            static_cast<unsigned long>(
                                                static_cast<std::uint32_t>(song.SongCDDB))));
  comments_->setPlainText(FromStd(song.SongComments));
  setWindowTitle(QString::asprintf(text::kSongTitleFormat,
                                   view ? text::kViewWord : text::kUpdateWord,
                                   static_cast<long>(setup_.songId)));
}

void CSongInfoDlg::PrepareNewSong() {
  const SongPresets& presets = setup_.presets;
  songId_ = NewSongNumber(database_);
  recDate_->setText(SongDateText(setup_.today));
  songDate_->setText(presets.songDate.size() == 10 ? presets.songDate
                                                   : SongDateText(setup_.today));
  length_->setText(presets.length);
  if (IsCd()) {
    cdTrack_->setText(QString::asprintf(text::kCdTrackFormat, presets.cdTrack));
    cdId_->setText(presets.cdIdentity);
    CopyFromSameCd(presets.cdIdentity);
  } else {
    name_->setText(LeftCharacters(presets.name, kSongNameLimit));
    comments_->setPlainText(LeftCharacters(presets.comments, kSongCommentsLimit));
    album_->setText(LeftCharacters(presets.album, kSongAlbumLimit));
    artist_->setText(LeftCharacters(presets.artist, kSongArtistLimit));
    attributes_->setText(LeftCharacters(presets.attributes, kSongAttributesLimit));
    if (presets.cdTrack != 0) {
      cdTrack_->setText(QString::asprintf(text::kCdTrackFormat, presets.cdTrack));
      cdId_->setText(
          QString::asprintf(text::kCddbFormat, static_cast<unsigned long>(presets.cddb)));
    }
  }
  song_->Open(dao::OpenType::Dynaset);
  song_->AddNew();
  setWindowTitle(Text(text::kAddNewSongTitle));
}

void CSongInfoDlg::CopyFromSameCd(const QString& identity) {
  CSongRecordset other(database_);
  other.SetFilter("SongCdId = '" + SqlQuote(ToStd(identity)) + "'");
  other.Open(dao::OpenType::Snapshot, {}, dao::kForwardOnly | dao::kReadOnly);
  if (other.IsEOF()) return;
  artist_->setText(FromStd(other.SongArtist));
  album_->setText(FromStd(other.SongAlbumName));
  label_->setText(FromStd(other.SongLabel));
  SelectType(FromStd(other.SongTypeCode));
}

void CSongInfoDlg::ApplyModeRules() {
  setBpm_->setEnabled(setup_.midiDevice != -1);
  switch (setup_.mode) {
    case SongEditMode::View:
      for (QLineEdit* edit : {name_, artist_, album_, label_, attributes_, bpm_, songDate_}) {
        edit->setReadOnly(true);
      }
      comments_->setReadOnly(true);
      typeList_->setEnabled(false);
      setBpm_->setEnabled(false);
      cueList_->setEnabled(false);
      break;
    case SongEditMode::Update:
      cueList_->setEnabled(media_ != kCodePcm);
      break;
    case SongEditMode::Add:
      cueList_->setEnabled(false);
      break;
  }
}

void CSongInfoDlg::OnOK() {
  if (setup_.mode == SongEditMode::View) {
    accept();
    return;
  }
  bool saved = false;
  if (!GuardOperation([&] { saved = Save(); })) {
    reject();
    return;
  }
  if (saved) accept();
}

bool CSongInfoDlg::Refuse(QLineEdit* field, const char* message) {
  Ui().Message(Text(message), MsgIcon::Exclamation);
  field->setFocus();
  field->selectAll();
  return false;
}

bool CSongInfoDlg::Save() {
  assert(song_ && song_->IsOpen());
  CSongRecordset& song = *song_;
  if (name_->text().trimmed().isEmpty()) return Refuse(name_, text::kNeedSongName);
  if (artist_->text().trimmed().isEmpty()) return Refuse(artist_, text::kNeedArtistName);
  const std::optional<dao::DaoDateTime> songDate = ParseSongDate(songDate_->text());
  if (!songDate) return Refuse(songDate_, text::kBadSongDate);

  if (setup_.mode == SongEditMode::Add) {
    song.SongID = songId_;
    song.SongCompression = std::string(1, media_);
  }
  song.SongTypeCode = ToStd(typeList_->currentText());
  song.SongName = ToStd(name_->text());
  song.SongArtist = ToStd(artist_->text());
  song.SongAlbumName = ToStd(album_->text());
  song.SongLabel = ToStd(label_->text());
  song.SongDate = *songDate;
  // The program fills "Rec Date:" itself; should it not read back, the song was added today.
  song.SongRecordDate = ParseSongDate(recDate_->text())
                            .value_or(ParseSongDate(SongDateText(setup_.today)).value());
  song.SongAttributes = ToStd(attributes_->text());
  song.SongLength = ToStd(length_->text());
  if (IsCd()) {
    song.SongCdId = ToStd(cdId_->text());
  } else if (setup_.mode == SongEditMode::Add) {
    song.SongCDDB = static_cast<std::int32_t>(setup_.presets.cddb);
  }
  song.SongCdTrack = static_cast<std::int16_t>(LeadingNumber(cdTrack_->text()));
  song.SongBPM = LeadingNumber(bpm_->text());
  song.SongComments = ToStd(comments_->toPlainText());
  song.Update();
  return true;
}

template <typename Request>
void CSongInfoDlg::DescribeSong(Request& request) const {
  // A CD track is found by its disc and track, any other song by its file.
  request.media = media_;
  request.name = name_->text();
  if (IsCd()) {
    request.cdIdentity = cdId_->text();
    request.album = album_->text();
    request.cdTrack = static_cast<int>(LeadingNumber(cdTrack_->text()));
    request.cdDriveLetter = setup_.cdDriveLetter;
  } else {
    request.filePath = setup_.filePath;
  }
}

void CSongInfoDlg::OnSetBpm() {
  BpmRequest request;
  request.bpm = LeadingNumber(bpm_->text());
  request.midiDevice = setup_.midiDevice;
  request.midiNote = setup_.midiNote;
  DescribeSong(request);
  std::optional<double> tempo;
  if (!GuardOperation([&] { tempo = tools_.CountBpm(this, request); })) {
    reject();
    return;
  }
  if (tempo) bpm_->setText(QString::asprintf(text::kBpmFormat, *tempo));
}

void CSongInfoDlg::OnEditCueList() {
  CueListRequest request;
  request.songId = songId_;
  DescribeSong(request);
  if (!GuardOperation([&] { tools_.EditCueList(this, database_, request); })) reject();
}

}  // namespace vx
