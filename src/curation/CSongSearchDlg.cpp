#include "curation/CSongSearchDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <cassert>
#include <cstdio>

#include "curation/CSongInfoDlg.h"
#include "curation/CurationText.h"
#include "curation/MediaBadge.h"
#include "curation/SongDeletion.h"
#include "library/CSongFilter.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/GuardOperation.h"
#include "library/LibraryText.h"
#include "library/SongFieldLimits.h"
#include "library/SongStore.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

enum Column { kNameColumn, kArtistColumn, kGenreColumn, kBpmColumn, kIdColumn };
constexpr int kColumnWidths[] = {200, 200, 100, 75, 75};
constexpr int kMediaRole = Qt::UserRole;
constexpr int kReportTitleLimit = 60;

// The media index of a row, from the first character of SongCompression; it also picks the
// row's icon. A song with an unknown code counts as an uncompressed file.
constexpr std::array<char, 4> kMediaByIndex = {kCodeCd, kCodePcm, kCodeMp3, kCodeAdpcm};
int MediaIndex(const std::string& compression) {
  const char code = compression.empty() ? kCodePcm : compression.front();
  for (std::size_t i = 0; i < kMediaByIndex.size(); ++i) {
    if (kMediaByIndex[i] == code) return static_cast<int>(i);
  }
  return 1;
}

QString Text(const char* text) { return QString::fromUtf8(text); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }

QRadioButton* AddRadio(QButtonGroup* group, int id, const char* caption,
                       const char* objectName, QBoxLayout* row) {
  auto* radio = new QRadioButton(Text(caption), qobject_cast<QWidget*>(group->parent()));
  radio->setObjectName(Text(objectName));
  group->addButton(radio, id);
  row->addWidget(radio);
  return radio;
}

QLabel* Buddy(const char* caption, QWidget* field, QWidget* parent) {
  auto* label = new QLabel(Text(caption), parent);
  label->setBuddy(field);
  return label;
}

}  // namespace

CSongSearchDlg::CSongSearchDlg(dao::DaoDatabase& database, SongSearchSetup setup,
                               SongEditorTools& tools, QWidget* parent)
    : QDialog(parent),
      database_(database),
      setup_(std::move(setup)),
      tools_(tools),
      sortField_(ReportSortField(kIdColumn)) {
  setWindowTitle(Text(text::kSearchTitle));
  auto* top = new QHBoxLayout;
  top->addWidget(MakeCriteria(), 1);
  top->addWidget(MakeReports());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(MakeResults(), 1);
  resize(760, 600);
  UpdateRowButtons();
  OnBpmChoice();
  loaded_ = GuardOperation([this] { LoadTypes(); });
}

CSongSearchDlg::~CSongSearchDlg() = default;

int CSongSearchDlg::Run() { return loaded_ ? Ui().RunModal(*this) : QDialog::Rejected; }

QWidget* CSongSearchDlg::MakeCriteria() {
  auto* box = new QWidget(this);
  typeList_ = new QComboBox(box);
  typeList_->setObjectName(QStringLiteral("typeList"));
  name_ = MakeEdit(box, "nameEdit", {true, kSongNameLimit});
  artist_ = MakeEdit(box, "artistEdit", {true, kSongArtistLimit});
  album_ = MakeEdit(box, "albumEdit", {true, kSongAlbumLimit});
  label_ = MakeEdit(box, "labelEdit", {true, kSongLabelLimit});

  media_ = new QButtonGroup(box);
  auto* mediaRow = new QHBoxLayout;
  AddRadio(media_, int(MediaChoice::All), text::kSearchMediaAll, "mediaAll", mediaRow)
      ->setChecked(true);
  AddRadio(media_, int(MediaChoice::Wave), text::kSearchMediaWav, "mediaWav", mediaRow);
  AddRadio(media_, int(MediaChoice::Cd), text::kSearchMediaCd, "mediaCd", mediaRow);
  mediaRow->addStretch(1);

  bpmChoice_ = new QButtonGroup(box);
  auto* bpmRow = new QHBoxLayout;
  AddRadio(bpmChoice_, int(TempoComparison::All), text::kSearchBpmAll, "bpmAll", bpmRow)
      ->setChecked(true);
  AddRadio(bpmChoice_, int(TempoComparison::Equal), text::kSearchBpmEqual, "bpmEqual", bpmRow);
  AddRadio(bpmChoice_, int(TempoComparison::Greater), text::kSearchBpmGreater, "bpmGreater",
           bpmRow);
  AddRadio(bpmChoice_, int(TempoComparison::Less), text::kSearchBpmLess, "bpmLess", bpmRow);
  AddRadio(bpmChoice_, int(TempoComparison::Between), text::kSearchBpmBetween, "bpmBetween",
           bpmRow);
  bpm1_ = MakeEdit(box, "bpm1Edit", {false, kSongBpmLimit});
  bpm2_ = MakeEdit(box, "bpm2Edit", {false, kSongBpmLimit});
  for (QLineEdit* value : {bpm1_, bpm2_}) {
    value->setMaximumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    bpmRow->addWidget(value);
  }
  bpmRow->addStretch(1);
  connect(bpmChoice_, &QButtonGroup::idClicked, this, &CSongSearchDlg::OnBpmChoice);

  auto* search = MakeButton(text::kSearchButton, "searchButton", box);
  search->setDefault(true);
  connect(search, &QPushButton::clicked, this, &CSongSearchDlg::OnSearch);

  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  int row = 0;
  auto addRow = [&](const char* caption, QWidget* field) {
    grid->addWidget(Buddy(caption, field, box), row, 0);
    grid->addWidget(field, row++, 1);
  };
  addRow(text::kSearchTypeLabel, typeList_);
  addRow(text::kSearchNameLabel, name_);
  addRow(text::kSearchArtistLabel, artist_);
  addRow(text::kSearchAlbumLabel, album_);
  addRow(text::kSearchLabelLabel, label_);
  grid->addWidget(Buddy(text::kSearchMediaLabel, media_->button(int(MediaChoice::All)), box),
                  row, 0);
  grid->addLayout(mediaRow, row++, 1);
  grid->addWidget(Buddy(text::kSearchBpmLabel, bpmChoice_->button(int(TempoComparison::All)),
                        box),
                  row, 0);
  grid->addLayout(bpmRow, row++, 1);
  grid->addWidget(search, row++, 1, Qt::AlignLeft);
  return box;
}

QWidget* CSongSearchDlg::MakeReports() {
  auto* group = new QGroupBox(Text(text::kReportsGroup), this);
  reportList_ = new QComboBox(group);
  reportList_->setObjectName(QStringLiteral("reportList"));
  reportList_->addItems(
      {Text(text::kReportSummary), Text(text::kReportDetail), Text(text::kReportCueList)});
  reportList_->setCurrentIndex(0);
  title_ = MakeEdit(group, "titleEdit", {false, kReportTitleLimit});
  print_ = MakeButton(text::kPrintButton, "printButton", group);
  print_->setEnabled(static_cast<bool>(setup_.printReport));
  connect(print_, &QPushButton::clicked, this, &CSongSearchDlg::OnPrint);
  auto* close = MakeButton(text::kCloseButton, "closeButton", this);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(reportList_);
  layout->addWidget(Buddy(text::kReportTitleLabel, title_, group));
  layout->addWidget(title_);
  layout->addWidget(print_);
  layout->addStretch(1);
  layout->addWidget(close);
  // The group's title letter reaches the report list.
  auto* shortcut = new QShortcut(QKeySequence::mnemonic(group->title()), this);
  connect(shortcut, &QShortcut::activated, reportList_, [this] { reportList_->setFocus(); });
  return group;
}

QWidget* CSongSearchDlg::MakeResults() {
  auto* box = new QWidget(this);
  list_ = new QTreeWidget(box);
  list_->setObjectName(QStringLiteral("songList"));
  list_->setColumnCount(5);
  list_->setHeaderLabels({Text(text::kSearchNameColumn), Text(text::kSearchArtistColumn),
                          Text(text::kSearchGenreColumn), Text(text::kSearchBpmColumn),
                          Text(text::kSearchIdColumn)});
  for (int column = 0; column < 5; ++column) {
    list_->setColumnWidth(column, kColumnWidths[column]);
  }
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSortingEnabled(false);
  list_->setIconSize(QSize(28, 14));
  list_->header()->setSectionsClickable(true);
  list_->header()->setSortIndicatorShown(false);
  connect(list_->header(), &QHeaderView::sectionClicked, this, &CSongSearchDlg::OnColumnClick);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnView(); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CSongSearchDlg::UpdateRowButtons);
  // The Delete key on the list deletes the selected song, after the same question.
  auto* deleteKey = new QShortcut(QKeySequence::Delete, list_, nullptr, nullptr,
                                  Qt::WidgetShortcut);
  connect(deleteKey, &QShortcut::activated, this, &CSongSearchDlg::OnDelete);

  view_ = MakeButton(text::kViewButton, "viewButton", box);
  edit_ = MakeButton(text::kSearchEditButton, "editButton", box);
  delete_ = MakeButton(text::kSearchDeleteButton, "deleteButton", box);
  connect(view_, &QPushButton::clicked, this, &CSongSearchDlg::OnView);
  connect(edit_, &QPushButton::clicked, this, &CSongSearchDlg::OnEdit);
  connect(delete_, &QPushButton::clicked, this, &CSongSearchDlg::OnDelete);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(view_);
  buttons->addWidget(edit_);
  buttons->addWidget(delete_);
  buttons->addStretch(1);
  auto* rows = new QHBoxLayout;
  rows->addWidget(list_, 1);
  rows->addLayout(buttons);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Buddy(text::kSearchListLabel, list_, box));
  layout->addLayout(rows, 1);
  return box;
}

void CSongSearchDlg::LoadTypes() {
  typeList_->addItem(Text(text::kSearchAllTypes));
  CSongTypeRecordSet types(database_);
  types.SetSort("SongTypeCode");
  types.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !types.IsEOF(); types.MoveNext()) typeList_->addItem(FromStd(types.SongTypeCode));
  typeList_->setCurrentIndex(0);
}

void CSongSearchDlg::Guarded(const std::function<void()>& action) {
  if (!GuardOperation(action)) reject();
}

void CSongSearchDlg::OnBpmChoice() {
  const auto choice = TempoComparison(bpmChoice_->checkedId());
  const bool one = choice != TempoComparison::All;
  bpm1_->setEnabled(one);
  bpm2_->setEnabled(choice == TempoComparison::Between);
  if (one) bpm1_->setFocus();
}

void CSongSearchDlg::OnSearch() {
  CSongFilter criteria;
  criteria.typeCode = typeList_->currentText().toStdString();
  criteria.name = name_->text().toStdString();
  criteria.artist = artist_->text().toStdString();
  criteria.album = album_->text().toStdString();
  criteria.label = label_->text().toStdString();
  criteria.media = MediaChoice(media_->checkedId());
  criteria.tempo = TempoComparison(bpmChoice_->checkedId());
  criteria.tempo1 = bpm1_->text().toStdString();
  criteria.tempo2 = bpm2_->text().toStdString();
  const SongFilterResult filter = BuildSongFilter(criteria);
  if (filter.error != SongFilterError::None) {
    Ui().Message(Text(text::kBpmNotNumber), MsgIcon::Exclamation);
    QLineEdit* wrong = filter.error == SongFilterError::Tempo1NotNumber ? bpm1_ : bpm2_;
    wrong->setFocus();
    wrong->selectAll();
    return;
  }
  statement_ = filter.statement;
  formula_ = filter.formula;
  Guarded([this] { FillList(statement_); });
}

void CSongSearchDlg::OnColumnClick(int column) {
  if (!resultsPresent_) return;
  const std::string field = ReportSortField(column);
  if (field.empty()) return;
  sortField_ = field;
  Guarded([&] { FillList(SortedStatement(statement_, column)); });
}

void CSongSearchDlg::FillList(const std::string& statement) {
  WaitCursor busy;
  list_->clear();
  std::array<QIcon, kMediaByIndex.size()> icons;
  for (std::size_t i = 0; i < icons.size(); ++i) {
    icons[i] = MediaBadgeIcon(kMediaByIndex[i], list_->iconSize());
  }
  CSongRecordset songs(database_);
  songs.Open(dao::OpenType::Snapshot, statement, dao::kForwardOnly | dao::kReadOnly);
  QList<QTreeWidgetItem*> rows;
  char bpm[32];
  for (; !songs.IsEOF(); songs.MoveNext()) {
    std::snprintf(bpm, sizeof bpm, text::kSearchBpmFormat, songs.SongBPM);
    auto* row = new QTreeWidgetItem({FromStd(songs.SongName), FromStd(songs.SongArtist),
                                     FromStd(songs.SongTypeCode), QString::fromLatin1(bpm),
                                     QString::number(songs.SongID)});
    const int media = MediaIndex(songs.SongCompression);
    row->setData(kNameColumn, kMediaRole, media);
    row->setIcon(kNameColumn, icons[static_cast<std::size_t>(media)]);
    rows.append(row);
  }
  songs.Close();
  list_->addTopLevelItems(rows);
  resultsPresent_ = !rows.isEmpty();
  if (resultsPresent_) {
    list_->setFocus();
    list_->setCurrentItem(rows.front());
  }
  UpdateRowButtons();
}

QTreeWidgetItem* CSongSearchDlg::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void CSongSearchDlg::UpdateRowButtons() {
  const bool row = SelectedRow() != nullptr;
  view_->setEnabled(row);
  edit_->setEnabled(row);
  delete_->setEnabled(row);
}

void CSongSearchDlg::OnView() { OpenSongEditor(SongEditMode::View); }
void CSongSearchDlg::OnEdit() { OpenSongEditor(SongEditMode::Update); }

void CSongSearchDlg::OpenSongEditor(SongEditMode mode) {
  QTreeWidgetItem* row = SelectedRow();
  if (row == nullptr) return;
  SongInfoSetup song;
  song.mode = mode;
  song.songId = row->text(kIdColumn).toInt();
  song.midiDevice = setup_.midiDevice;
  song.midiNote = setup_.midiNote;
  song.cdDriveLetter = setup_.cdDriveLetter;
  song.filePath = FromStd(SongFileName(setup_.libraryFolder, static_cast<std::uint32_t>(song.songId)));
  CSongInfoDlg editor(database_, std::move(song), tools_, this);
  editor.Run();
}

void CSongSearchDlg::OnDelete() {
  QTreeWidgetItem* row = SelectedRow();
  if (row == nullptr || !delete_->isEnabled()) return;
  if (Ui().Message(Text(text::kConfirmDeleteSong), MsgIcon::Question, MsgButtons::YesNo, 1) !=
      MsgAnswer::Yes) {
    return;
  }
  const std::int32_t songId = row->text(kIdColumn).toInt();
  const bool hasFile = row->data(kNameColumn, kMediaRole).toInt() != 0;
  Guarded([&] {
    if (DeleteSong(database_, SongsFolder(setup_.libraryFolder), songId, hasFile) !=
        SongDeletion::Deleted) {
      Ui().Message(Text(text::kDeleteSongFailed), MsgIcon::Stop);
      return;
    }
    delete row;
    resultsPresent_ = list_->topLevelItemCount() > 0;
    UpdateRowButtons();
  });
}

void CSongSearchDlg::OnPrint() {
  if (!setup_.printReport || reportList_->currentIndex() < 0) return;
  SongReportRequest request;
  request.layout = reportList_->currentIndex();
  request.title = title_->text();
  request.formula = formula_;
  request.sortField = sortField_;
  setup_.printReport(this, request);
}

}  // namespace vx
