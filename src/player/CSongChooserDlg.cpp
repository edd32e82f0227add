#include "player/CSongChooserDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

#include <cstdio>

#include "library/CSongFilter.h"
#include "platform/ui/UserInteraction.h"
#include "player/PanelQueries.h"
#include "library/LibraryText.h"
#include "player/PlayerText.h"
#include "player/PlayerGuard.h"

namespace vx::player {
namespace {

// Search texts are typed in capitals, as everything typed into the library is.
class CapitalsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

QString Text(const char* text) { return QString::fromUtf8(text); }

std::string FieldText(const QLineEdit* field) { return field->text().toStdString(); }

MediaChoice ModeMedia(int mode) { return mode == 1 ? MediaChoice::Cd : MediaChoice::Wave; }

// The songs stored as files of one type within 4 BPM of bpm.
std::string LikeOtherDeckStatement(const std::string& typeCode, double bpm) {
  char tempo[64];
  std::snprintf(tempo, sizeof tempo, "%f", bpm);
  CSongFilter criteria;
  criteria.typeCode = typeCode;
  criteria.media = MediaChoice::Wave;
  criteria.tempo1 = tempo;
  return BuildSongFilter(criteria, SongFilterVariant::PlayerChooser).statement;
}

}  // namespace

CSongChooserDlg::CSongChooserDlg(dao::DaoDatabase& db, const SongChooserRequest& request,
                                 QWidget* parent)
    : QDialog(parent),
      db_(db),
      mode_(request.mode),
      song_(new QLineEdit(this)),
      artist_(new QLineEdit(this)),
      attributes_(new QLineEdit(this)),
      types_(new QComboBox(this)),
      bpm_(new QLineEdit(this)),
      exact_(new QCheckBox(Text(text::kChooserExact), this)),
      find_(new QPushButton(Text(text::kChooserFind), this)),
      ok_(new QPushButton(Text(text::kChooserOk), this)),
      cancel_(new QPushButton(Text(text::kChooserCancel), this)),
      list_(new QListWidget(this)) {
  setWindowTitle(request.playerNumber > 0
                     ? QString::asprintf(text::kChooserDeckTitle, request.playerNumber,
                                         request.currentSongName.toUtf8().constData())
                     : Text(text::kChooserTitle));
  BuildControls();
  FillTypeList();
  ShowList();
  if (request.bpm != 0) FillList(LikeOtherDeckStatement(request.typeCode, request.bpm));
}

void CSongChooserDlg::BuildControls() {
  for (QLineEdit* field : {song_, artist_, attributes_}) {
    field->setValidator(new CapitalsValidator(field));
  }
  for (QPushButton* button : {find_, ok_, cancel_}) button->setAutoDefault(false);
  list_->setUniformItemSizes(true);
  list_->setObjectName(QStringLiteral("songList"));

  auto* fields = new QFormLayout;
  fields->addRow(Text(text::kChooserSong), song_);
  fields->addRow(Text(text::kChooserArtist), artist_);
  fields->addRow(Text(text::kChooserAttributes), attributes_);
  fields->addRow(Text(text::kChooserType), types_);
  auto* tempo = new QHBoxLayout;
  tempo->addWidget(bpm_);
  tempo->addWidget(exact_);
  fields->addRow(Text(text::kChooserBpm), tempo);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(find_);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->addWidget(list_, 1);
  resize(520, 480);

  connect(find_, &QPushButton::clicked, this, &CSongChooserDlg::OnFind);
  connect(ok_, &QPushButton::clicked, this, &CSongChooserDlg::OnOK);
  connect(cancel_, &QPushButton::clicked, this, &CSongChooserDlg::OnCancel);
  connect(list_, &QListWidget::itemDoubleClicked, this, &CSongChooserDlg::OnOK);
}

void CSongChooserDlg::FillTypeList() {
  types_->addItem(Text(text::kAllTypes));
  GuardPlayerOperation([&] {
    for (const std::string& code : ReadSongTypeCodes(db_)) {
      types_->addItem(QString::fromStdString(code));
    }
  });
  types_->setCurrentIndex(0);
}

void CSongChooserDlg::OnFind() {
  CSongFilter criteria;
  criteria.name = FieldText(song_);
  criteria.typeCode = types_->currentText().toStdString();
  criteria.artist = FieldText(artist_);
  criteria.attributes = FieldText(attributes_);
  criteria.media = ModeMedia(mode_);
  criteria.tempo1 = bpm_->text().trimmed().toStdString();
  criteria.exactTempo = exact_->isChecked();
  const SongFilterResult filter = BuildSongFilter(criteria, SongFilterVariant::PlayerChooser);
  if (filter.error != SongFilterError::None) {
    Ui().Message(Text(text::kBpmNotNumber), MsgIcon::Exclamation);
    bpm_->setFocus();
    bpm_->selectAll();
    return;
  }
  FillList(filter.statement);
}

void CSongChooserDlg::FillList(const std::string& statement) {
  SongLines songs;
  GuardPlayerOperation([&] { songs = ReadChooserSongs(db_, statement); });
  list_->setUpdatesEnabled(false);
  list_->clear();
  list_->addItems(songs.lines);
  list_->setUpdatesEnabled(true);
  songIds_ = std::move(songs.songIds);
  ShowList();
}

// With entries: the first is selected, OK is enabled and the default, and the list has the
// focus. Without: OK is disabled and Find is the default.
void CSongChooserDlg::ShowList() {
  const bool any = list_->count() > 0;
  ok_->setEnabled(any);
  ok_->setDefault(any);
  find_->setDefault(!any);
  if (any) {
    list_->setCurrentRow(0);
    list_->setFocus();
  }
}

std::int32_t CSongChooserDlg::ChosenSongId() const {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(songIds_.size())) return 0;
  return songIds_[static_cast<std::size_t>(row)];
}

void CSongChooserDlg::OnOK() {
  if (ChosenSongId() != 0) accept();
}

void CSongChooserDlg::OnCancel() { reject(); }

std::optional<std::int32_t> ChooseSong(dao::DaoDatabase& db, const SongChooserRequest& request,
                                       QWidget* parent) {
  CSongChooserDlg dialog(db, request, parent);
  if (Ui().RunModal(dialog) != QDialog::Accepted || dialog.ChosenSongId() == 0) return {};
  return dialog.ChosenSongId();
}

}  // namespace vx::player
