#include "playlists/CPlaylistEditDlg.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cassert>
#include <cstdio>
#include <string>

#include "library/CPlaylist.h"
#include "library/CPlaylistDtl.h"
#include "library/CSongFilter.h"
#include "library/CSongRecordset.h"
#include "library/CSongTypeRecordSet.h"
#include "library/GuardOperation.h"
#include "library/LibraryText.h"
#include "library/LibraryTransaction.h"
#include "library/SongFieldLimits.h"
#include "library/SongLength.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"
#include "playlists/PlaylistText.h"

namespace vx {
namespace {

constexpr int kColumnWidths[] = {150, 150, 100, 75, 75};
constexpr int kColumnCount = 5;
constexpr int kSongIdRole = Qt::UserRole;
constexpr int kLengthRole = Qt::UserRole + 1;

QString Text(const char* text) { return QString::fromUtf8(text); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }

QString Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return QString::fromLatin1(text);
}

std::int32_t SongIdOf(const QTreeWidgetItem* row) { return row->data(0, kSongIdRole).toInt(); }
std::uint64_t LengthOf(const QTreeWidgetItem* row) {
  return row->data(0, kLengthRole).toULongLong();
}

}  // namespace

QString TotalRunningTimeText(std::uint64_t t) {
  const auto hours = static_cast<int>(t / 3600000);
  const auto minutes = static_cast<int>(t % 3600000 / 60000);
  const auto seconds = static_cast<int>(t % 60000 / 1000);
  char text[64];
  std::snprintf(text, sizeof text, text::kTrtFormat, hours, minutes, seconds);
  return QString::fromLatin1(text);
}

CPlaylistEditDlg::CPlaylistEditDlg(dao::DaoDatabase& database, const QString& name, bool isNew,
                                   QWidget* parent)
    : QDialog(parent), database_(database), name_(name), isNew_(isNew) {
  setWindowTitle(Text(isNew ? text::kCreatePlaylistTitle : text::kEditPlaylistTitle)
                     .replace(QStringLiteral("%s"), name));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(MakeEntries(), 3);
  layout->addWidget(MakeChooser(), 2);
  resize(980, 560);
  save_->setEnabled(false);
  add_->setEnabled(false);
  UpdateEntryButtons();
  loaded_ = GuardOperation([this] {
    LoadGenres();
    if (!isNew_) LoadEntries();
  });
}

CPlaylistEditDlg::~CPlaylistEditDlg() = default;

int CPlaylistEditDlg::Run() { return loaded_ ? Ui().RunModal(*this) : QDialog::Rejected; }

QWidget* CPlaylistEditDlg::MakeEntries() {
  auto* box = new QWidget(this);
  entries_ = new QTreeWidget(box);
  entries_->setObjectName(QStringLiteral("entryList"));
  entries_->setColumnCount(kColumnCount);
  entries_->setHeaderLabels({Text(text::kPlaylistNameColumn), Text(text::kPlaylistArtistColumn),
                             Text(text::kPlaylistGenreColumn), Text(text::kPlaylistBpmColumn),
                             Text(text::kPlaylistLengthColumn)});
  for (int column = 0; column < kColumnCount; ++column) {
    entries_->setColumnWidth(column, kColumnWidths[column]);
  }
  entries_->header()->setSectionsClickable(false);
  entries_->setRootIsDecorated(false);
  entries_->setUniformRowHeights(true);
  entries_->setAllColumnsShowFocus(true);
  entries_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(entries_, &QTreeWidget::itemSelectionChanged, this,
          &CPlaylistEditDlg::UpdateEntryButtons);

  trt_ = new QLabel(box);
  trt_->setObjectName(QStringLiteral("trtLabel"));
  save_ = MakeButton(text::kSaveButton, "saveButton", box);
  auto* cancel = MakeButton(text::kPlaylistCancelButton, "cancelButton", box);
  connect(save_, &QPushButton::clicked, this, &CPlaylistEditDlg::OnSave);
  connect(cancel, &QPushButton::clicked, this, &CPlaylistEditDlg::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(trt_);
  bottom->addStretch(1);
  bottom->addWidget(save_);
  bottom->addWidget(cancel);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(entries_, 1);
  layout->addLayout(bottom);
  return box;
}

QWidget* CPlaylistEditDlg::MakeChooser() {
  auto* box = new QWidget(this);
  songName_ = MakeEdit(box, "nameEdit", {true, kSongNameLimit});
  artist_ = MakeEdit(box, "artistEdit", {true, kSongArtistLimit});
  attributes_ = MakeEdit(box, "attributesEdit", {true, kSongAttributesLimit});
  genres_ = new QComboBox(box);
  genres_->setObjectName(QStringLiteral("genreList"));
  bpm_ = MakeEdit(box, "bpmEdit", {false, kSongBpmLimit});
  auto* find = MakeButton(text::kFindButton, "findButton", box);
  find->setDefault(true);
  connect(find, &QPushButton::clicked, this, &CPlaylistEditDlg::OnFind);

  chooserLabel_ = new QLabel(box);
  chooserLabel_->setObjectName(QStringLiteral("chooserLabel"));
  chooser_ = new QListWidget(box);
  chooser_->setObjectName(QStringLiteral("chooserList"));
  chooser_->setSelectionMode(QAbstractItemView::MultiSelection);
  chooser_->setSortingEnabled(false);
  chooser_->setUniformItemSizes(true);
  chooserLabel_->setBuddy(chooser_);
  connect(chooser_, &QListWidget::itemSelectionChanged, this,
          &CPlaylistEditDlg::OnChooserSelection);
  auto* selectAll = MakeButton(text::kSelectAllButton, "selectAllButton", box);
  auto* clearAll = MakeButton(text::kClearAllButton, "clearAllButton", box);
  connect(selectAll, &QPushButton::clicked, this, &CPlaylistEditDlg::OnSelectAll);
  connect(clearAll, &QPushButton::clicked, this, &CPlaylistEditDlg::OnClearAll);

  add_ = MakeButton(text::kAddEntryButton, "addButton", box);
  delete_ = MakeButton(text::kDeleteEntryButton, "deleteButton", box);
  up_ = MakeButton(text::kUpButton, "upButton", box);
  down_ = MakeButton(text::kDownButton, "downButton", box);
  connect(add_, &QPushButton::clicked, this, &CPlaylistEditDlg::OnAdd);
  connect(delete_, &QPushButton::clicked, this, &CPlaylistEditDlg::OnDeleteEntry);
  connect(up_, &QPushButton::clicked, this, &CPlaylistEditDlg::OnUp);
  connect(down_, &QPushButton::clicked, this, &CPlaylistEditDlg::OnDown);

  auto* criteria = new QGridLayout;
  int row = 0;
  auto addRow = [&](const char* caption, QWidget* field) {
    auto* label = new QLabel(Text(caption), box);
    label->setBuddy(field);
    criteria->addWidget(label, row, 0);
    criteria->addWidget(field, row++, 1);
  };
  addRow(text::kChooserNameLabel, songName_);
  addRow(text::kChooserArtistLabel, artist_);
  addRow(text::kChooserAttributesLabel, attributes_);
  addRow(text::kChooserGenreLabel, genres_);
  addRow(text::kChooserBpmLabel, bpm_);
  criteria->addWidget(find, row++, 1, Qt::AlignLeft);

  auto* moves = new QHBoxLayout;
  for (QPushButton* button : {add_, delete_, up_, down_}) moves->addWidget(button);
  auto* selection = new QHBoxLayout;
  selection->addWidget(selectAll);
  selection->addWidget(clearAll);
  selection->addStretch(1);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(moves);
  layout->addLayout(criteria);
  layout->addWidget(chooserLabel_);
  layout->addWidget(chooser_, 1);
  layout->addLayout(selection);
  OnChooserSelection();
  return box;
}

void CPlaylistEditDlg::Guarded(const std::function<void()>& action) {
  if (!GuardOperation(action)) QDialog::reject();
}

void CPlaylistEditDlg::LoadGenres() {
  genres_->addItem(Text(text::kAllGenres));
  CSongTypeRecordSet types(database_);
  types.SetSort("SongTypeCode");
  types.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !types.IsEOF(); types.MoveNext()) genres_->addItem(FromStd(types.SongTypeCode));
  genres_->setCurrentIndex(0);
}

void CPlaylistEditDlg::LoadEntries() {
  CPlaylistDtl details(database_);
  details.SetFilter("PlaylistName = '" + SqlQuote(name_.toStdString()) + "'");
  details.SetSort("PlaylistSequenceNum");
  details.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !details.IsEOF(); details.MoveNext()) {
    QTreeWidgetItem* row = MakeEntry(details.SongID);
    entries_->addTopLevelItem(row);
    total_ += LengthOf(row);
  }
  if (entries_->topLevelItemCount() > 0) {
    entries_->setCurrentItem(entries_->topLevelItem(0));
    ShowTotal();
  }
}

QTreeWidgetItem* CPlaylistEditDlg::MakeEntry(std::int32_t songId) {
  CSongRecordset song(database_);
  song.SetFilter("SongID = " + std::to_string(songId));
  song.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  QTreeWidgetItem* row = nullptr;
  if (song.IsEOF()) {
    // The song left the library since the playlist was saved: the entry stays visible, so
    // the person can see it and take it out.
    row = new QTreeWidgetItem({Text(text::kMissingSong), {}, {}, {}, {}});
    row->setData(0, kLengthRole, QVariant::fromValue<qulonglong>(0));
  } else {
    row = new QTreeWidgetItem({FromStd(song.SongName), FromStd(song.SongArtist),
                               FromStd(song.SongTypeCode),
                               Format(text::kPlaylistBpmFormat, song.SongBPM),
                               FromStd(song.SongLength)});
    row->setData(0, kLengthRole,
                 QVariant::fromValue<qulonglong>(SongLengthMilliseconds(song.SongLength)));
  }
  row->setData(0, kSongIdRole, songId);
  return row;
}

void CPlaylistEditDlg::OnFind() {
  CSongFilter criteria;
  criteria.name = songName_->text().toStdString();
  criteria.typeCode = genres_->currentText().toStdString();
  criteria.artist = artist_->text().toStdString();
  criteria.attributes = attributes_->text().toStdString();
  criteria.tempo1 = bpm_->text().toStdString();
  const SongFilterResult filter = BuildSongFilter(criteria, SongFilterVariant::PlaylistChooser);
  if (filter.error != SongFilterError::None) {
    Ui().Message(Text(text::kBpmNotNumber), MsgIcon::Exclamation);
    bpm_->setFocus();
    bpm_->selectAll();
    return;
  }
  Guarded([&] {
    WaitCursor busy;
    chooser_->clear();
    CSongRecordset songs(database_);
    songs.Open(dao::OpenType::Snapshot, filter.statement, dao::kForwardOnly | dao::kReadOnly);
    char line[512];
    for (; !songs.IsEOF(); songs.MoveNext()) {
      std::snprintf(line, sizeof line, text::kChooserLineFormat, songs.SongBPM,
                    songs.SongName.c_str(), songs.SongArtist.c_str());
      auto* item = new QListWidgetItem(QString::fromUtf8(line), chooser_);
      item->setData(kSongIdRole, songs.SongID);
    }
    OnChooserSelection();
  });
}

void CPlaylistEditDlg::OnChooserSelection() {
  const int selected = static_cast<int>(chooser_->selectedItems().size());
  chooserLabel_->setText(Text(text::kChooseSongsLabel).replace(QStringLiteral("%d"),
                                                               QString::number(selected)));
  add_->setEnabled(selected > 0);
}

void CPlaylistEditDlg::OnSelectAll() { chooser_->selectAll(); }
void CPlaylistEditDlg::OnClearAll() { chooser_->clearSelection(); }

void CPlaylistEditDlg::OnAdd() {
  const QList<QTreeWidgetItem*> selected = entries_->selectedItems();
  int at = selected.isEmpty() ? entries_->topLevelItemCount()
                              : entries_->indexOfTopLevelItem(selected.front()) + 1;
  Guarded([&] {
    for (int i = 0; i < chooser_->count(); ++i) {
      QListWidgetItem* line = chooser_->item(i);
      if (!line->isSelected()) continue;
      QTreeWidgetItem* row = MakeEntry(line->data(kSongIdRole).toInt());
      entries_->insertTopLevelItem(at++, row);
      total_ += LengthOf(row);
    }
    ShowTotal();
    chooser_->clearSelection();
    MarkChanged();
  });
}

void CPlaylistEditDlg::OnDeleteEntry() {
  const QList<QTreeWidgetItem*> selected = entries_->selectedItems();
  if (selected.isEmpty()) return;
  QTreeWidgetItem* row = selected.front();
  total_ -= std::min(total_, LengthOf(row));
  delete row;
  ShowTotal();
  MarkChanged();
  UpdateEntryButtons();
}

void CPlaylistEditDlg::OnUp() { SwapWithNeighbour(-1); }
void CPlaylistEditDlg::OnDown() { SwapWithNeighbour(+1); }

void CPlaylistEditDlg::SwapWithNeighbour(int step) {
  const QList<QTreeWidgetItem*> selected = entries_->selectedItems();
  if (selected.isEmpty()) return;
  const int from = entries_->indexOfTopLevelItem(selected.front());
  const int to = from + step;
  if (to < 0 || to >= entries_->topLevelItemCount()) return;
  // Moving the row moves its five texts and its song together.
  QTreeWidgetItem* row = entries_->takeTopLevelItem(from);
  entries_->insertTopLevelItem(to, row);
  entries_->setCurrentItem(row);
  MarkChanged();
}

void CPlaylistEditDlg::ShowTotal() { trt_->setText(TotalRunningTimeText(total_)); }

void CPlaylistEditDlg::MarkChanged() {
  changed_ = true;
  save_->setEnabled(true);
}

void CPlaylistEditDlg::UpdateEntryButtons() {
  const bool row = !entries_->selectedItems().isEmpty();
  delete_->setEnabled(row);
  up_->setEnabled(row);
  down_->setEnabled(row);
}

void CPlaylistEditDlg::OnSave() {
  if (!save_->isEnabled()) return;
  const std::string name = name_.toStdString();
  Guarded([&] {
    RunInTransaction(database_, [&] {
      if (isNew_) {
        CPlaylist playlist(database_);
        playlist.Open(dao::OpenType::Dynaset);
        playlist.AddNew();
        playlist.PlaylistName = name;
        playlist.PlaylistDate = dao::DaoDateTime::FromIso(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                .toStdString());
        playlist.CurrentSeqNum = 1;
        playlist.Update();
      } else {
        database_.Execute("Delete From PlaylistDetail Where PlaylistName = '" + SqlQuote(name) +
                          "' ");
      }
      CPlaylistDtl details(database_);
      details.Open(dao::OpenType::Dynaset);
      for (int i = 0; i < entries_->topLevelItemCount(); ++i) {
        details.AddNew();
        details.PlaylistName = name;
        details.PlaylistSequenceNum = static_cast<std::int16_t>(i + 1);
        details.SongID = SongIdOf(entries_->topLevelItem(i));
        details.PlaylistOffset.clear();
        details.Update();
      }
    });
    accept();
  });
}

void CPlaylistEditDlg::reject() {
  if (changed_ && Ui().Message(Text(text::kAbandonPlaylistChanges), MsgIcon::Question,
                               MsgButtons::YesNo, 1) != MsgAnswer::Yes) {
    return;
  }
  QDialog::reject();
}

}  // namespace vx
