#include "playlists/CPlaylistSelectDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/CPlaylist.h"
#include "library/GuardOperation.h"
#include "library/LibraryTransaction.h"
#include "library/NameCharacters.h"
#include "library/SongFieldLimits.h"
#include "library/SqlText.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/UserInteraction.h"
#include "playlists/PlaylistText.h"

namespace vx {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

}  // namespace

CPlaylistSelectDlg::CPlaylistSelectDlg(dao::DaoDatabase& database, QWidget* parent)
    : QDialog(parent), database_(database), names_(new QComboBox(this)) {
  setWindowTitle(Text(text::kPlaylistSelectTitle));
  names_->setObjectName(QStringLiteral("nameBox"));
  names_->setEditable(true);
  names_->setInsertPolicy(QComboBox::NoInsert);
  // The box keeps the names in the order read; its completer must not change the case of
  // what the person types.
  names_->setCompleter(nullptr);
  SetTextRule(*names_->lineEdit(), {false, kPlaylistNameLimit});
  auto* label = new QLabel(Text(text::kPlaylistNameLabel), this);
  label->setBuddy(names_);

  auto* select = MakeButton(text::kPlaylistSelectButton, "selectButton", this);
  select->setDefault(true);
  auto* remove = MakeButton(text::kPlaylistDeleteButton, "deleteButton", this);
  auto* cancel = MakeButton(text::kPlaylistCancelButton, "cancelButton", this);
  connect(select, &QPushButton::clicked, this, &CPlaylistSelectDlg::OnSelect);
  connect(remove, &QPushButton::clicked, this, &CPlaylistSelectDlg::OnDelete);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(select);
  buttons->addWidget(remove);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(names_);
  layout->addStretch(1);
  layout->addLayout(buttons);
  setMinimumWidth(380);

  loaded_ = GuardOperation([this] { LoadNames(); });
}

CPlaylistSelectDlg::~CPlaylistSelectDlg() = default;

int CPlaylistSelectDlg::Run() { return loaded_ ? Ui().RunModal(*this) : QDialog::Rejected; }

void CPlaylistSelectDlg::LoadNames() {
  CPlaylist playlists(database_);
  playlists.SetSort("PlaylistName");
  playlists.Open(dao::OpenType::Snapshot, {}, dao::kReadOnly);
  for (; !playlists.IsEOF(); playlists.MoveNext()) {
    names_->addItem(QString::fromStdString(playlists.PlaylistName));
  }
  names_->setCurrentIndex(names_->count() > 0 ? 0 : -1);
}

int CPlaylistSelectDlg::ChosenEntry() const {
  const int index = names_->currentIndex();
  return index >= 0 && names_->itemText(index) == names_->currentText() ? index : -1;
}

void CPlaylistSelectDlg::OnSelect() {
  const int entry = ChosenEntry();
  if (entry >= 0) {
    name_ = names_->itemText(entry);
    isNew_ = false;
    accept();
    return;
  }
  const QString typed =
      LeftCharacters(ReplaceForbiddenNameCharacters(names_->currentText()), kPlaylistNameLimit);
  // A playlist needs a name: an empty box chooses nothing.
  if (typed.trimmed().isEmpty()) {
    names_->setFocus();
    return;
  }
  if (names_->findText(typed, Qt::MatchFixedString) >= 0) {
    Ui().Message(Text(text::kPlaylistExists).replace(QStringLiteral("%s"), typed),
                 MsgIcon::Exclamation);
    names_->setFocus();
    return;
  }
  name_ = typed;
  isNew_ = true;
  accept();
}

void CPlaylistSelectDlg::OnDelete() {
  const int entry = ChosenEntry();
  if (entry < 0) return;
  const QString name = names_->itemText(entry);
  if (Ui().Message(Text(text::kConfirmDeletePlaylist).replace(QStringLiteral("%s"), name),
                   MsgIcon::Question, MsgButtons::YesNo, 1) != MsgAnswer::Yes) {
    return;
  }
  const std::string quoted = SqlQuote(name.toStdString());
  GuardOperation([&] {
    RunInTransaction(database_, [&] {
      database_.Execute("Delete From PlaylistDetail Where PlaylistName = '" + quoted + "' ");
      database_.Execute("Delete From Playlist Where PlaylistName = '" + quoted + "' ");
    });
  });
  reject();
}

}  // namespace vx
