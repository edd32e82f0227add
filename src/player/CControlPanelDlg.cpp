#include "player/CControlPanelDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

#include "platform/ui/UserInteraction.h"
#include "player/DeckAccess.h"
#include "player/DeckEvents.h"
#include "player/PanelQueries.h"
#include "player/PlayerText.h"
#include "player/PlayerGuard.h"

namespace vx::player {
namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }

// The check box is drawn over the skin, so its caption takes the window's label colour.
void SetCaptionColor(QWidget& widget, const QColor& color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::ButtonText, color);
  widget.setPalette(palette);
}

bool IsKeypadPoint(const QKeyEvent& key) {
  return (key.modifiers() & Qt::KeypadModifier) &&
         (key.key() == Qt::Key_Period || key.key() == Qt::Key_Comma);
}

}  // namespace

QString ClockText(const QTime& time) {
  const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
  return QString::asprintf("%02d:%02d:%02d %s", hour, time.minute(), time.second(),
                           time.hour() < 12 ? "AM" : "PM");
}

CControlPanelDlg::CControlPanelDlg(dao::DaoDatabase& db, DeckAccess& decks,
                                   const PlayerColors& colors, ControlPanelHooks hooks,
                                   QWidget* parent)
    : CSkinnedDialog(kSkinControlPanel, SkinMode::Centre, colors.background, parent),
      db_(db),
      decks_(decks),
      colors_(colors),
      hooks_(std::move(hooks)),
      playlists_(new QComboBox(this)),
      entries_(new QListWidget(this)),
      hint_(new SkinLabel(Text(text::kPanelHint), SkinFont("Arial", 12), colors.label, this)),
      clock_(new SkinLabel(QString(), SkinFont("Arial", 18), colors.text, this)),
      quit_(new QPushButton(Text(text::kPanelQuit), this)),
      auto_(new QCheckBox(Text(text::kPanelAuto), this)) {
  setWindowTitle(Text(text::kPanelTitle));
  BuildControls();
  FillPlaylists();
  clockTimer_.setInterval(1000);
  connect(&clockTimer_, &QTimer::timeout, this, &CControlPanelDlg::OnTimer);
  clockTimer_.start();
  OnTimer();
}

void CControlPanelDlg::BuildControls() {
  hint_->setWordWrap(true);
  SetCaptionColor(*auto_, colors_.label);
  quit_->setAutoDefault(false);
  auto* layout = new QGridLayout(this);
  layout->addWidget(playlists_, 0, 0, 1, 2);
  layout->addWidget(entries_, 1, 0, 1, 2);
  layout->addWidget(hint_, 2, 0, 1, 2);
  layout->addWidget(clock_, 3, 0);
  layout->addWidget(auto_, 3, 1, Qt::AlignRight);
  layout->addWidget(quit_, 4, 1, Qt::AlignRight);
  for (QWidget* child : {static_cast<QWidget*>(playlists_), static_cast<QWidget*>(entries_),
                         static_cast<QWidget*>(quit_), static_cast<QWidget*>(auto_)}) {
    child->installEventFilter(this);
  }
  connect(playlists_, &QComboBox::currentIndexChanged, this,
          &CControlPanelDlg::OnSelectPlaylist);
  connect(entries_, &QListWidget::currentRowChanged, this, &CControlPanelDlg::OnEntryChosen);
  connect(quit_, &QPushButton::clicked, this, &CControlPanelDlg::OnExit);
}

void CControlPanelDlg::FillPlaylists() {
  GuardPlayerOperation([&] {
    const std::vector<std::string> names = ReadPlaylistNames(db_);
    positions_.assign(names.size(), Position{});
    const QSignalBlocker quiet(playlists_);
    for (const std::string& name : names) playlists_->addItem(QString::fromStdString(name));
  });
  if (playlists_->count() > 0) {
    const QSignalBlocker quiet(playlists_);
    playlists_->setCurrentIndex(0);
  }
  OnSelectPlaylist(playlists_->currentIndex());
}

void CControlPanelDlg::OnSelectPlaylist(int index) {
  SongLines entries;
  if (index >= 0) {
    const std::string name = playlists_->itemText(index).toStdString();
    GuardPlayerOperation([&] { entries = ReadPlaylistEntries(db_, name); });
  }
  {
    const QSignalBlocker quiet(entries_);
    entries_->setUpdatesEnabled(false);
    entries_->clear();
    entries_->addItems(entries.lines);
    entries_->setUpdatesEnabled(true);
  }
  songIds_ = std::move(entries.songIds);
  const Position* position = CurrentPosition();
  SelectEntry(position ? std::min(position->next, entries_->count() - 1) : 0);
}

void CControlPanelDlg::SelectEntry(int row) {
  selecting_ = true;
  entries_->setCurrentRow(row);
  selecting_ = false;
}

// The person picked another entry: automatic mode goes on from there.
void CControlPanelDlg::OnEntryChosen(int row) {
  Position* position = CurrentPosition();
  if (selecting_ || !position || row < 0) return;
  position->next = row;
  position->finished = false;
}

CControlPanelDlg::Position* CControlPanelDlg::CurrentPosition() {
  const int index = playlists_->currentIndex();
  if (index < 0 || index >= static_cast<int>(positions_.size())) return nullptr;
  return &positions_[static_cast<std::size_t>(index)];
}

bool CControlPanelDlg::LoadSelected(int deck) {
  const int row = entries_->currentRow();
  if (row < 0 || row >= static_cast<int>(songIds_.size())) return false;
  lastDeck_ = deck;
  if (deck >= decks_.WavDeckCount()) return false;
  const bool loaded = decks_.LoadSong(deck, songIds_[static_cast<std::size_t>(row)]);
  Position* position = CurrentPosition();
  if (row + 1 < entries_->count()) {
    SelectEntry(row + 1);
    if (position) position->next = row + 1;
  } else if (position) {
    position->finished = true;
  }
  return loaded;
}

void CControlPanelDlg::OnLoadDeck(int deck) {
  GuardPlayerOperation([&] { LoadSelected(deck); });
}

void CControlPanelDlg::OnSongEnded(int) {
  if (!auto_->isChecked()) return;
  GuardPlayerOperation([&] {
    const int count = decks_.WavDeckCount();
    const Position* position = CurrentPosition();
    if (count == 0 || !position || position->finished) return;
    const int target = count == 1 ? 0 : 1 - lastDeck_;
    // An entry that cannot be loaded is passed over, so the set goes on with the next one.
    for (int tries = entries_->count(); tries > 0 && !CurrentPosition()->finished; --tries) {
      if (LoadSelected(target)) return;
    }
  });
}

void CControlPanelDlg::OnTimer() {
  clock_->setText(ClockText(hooks_.clock ? hooks_.clock() : QTime::currentTime()));
}

QString CControlPanelDlg::Clock() const { return clock_->text(); }

void CControlPanelDlg::OnHelp() {
  if (hooks_.showHelp) {
    hooks_.showHelp(this, Text(text::kPanelHelpTitle), Text(text::kPanelHelpText));
  }
}

void CControlPanelDlg::OnPreferences() {
  if (hooks_.openPreferences) GuardPlayerOperation(hooks_.openPreferences);
}

void CControlPanelDlg::OnExit() {
  MessageRequest question;
  question.text = Text(text::kPanelExitQuestion);
  question.icon = MsgIcon::Question;
  question.buttons = MsgButtons::YesNo;
  question.defaultButton = 1;  // No
  if (Ui().Message(question) == MsgAnswer::Yes && hooks_.endPlayer) hooks_.endPlayer();
}

void CControlPanelDlg::ApplyColors(const PlayerColors& colors) {
  colors_ = colors;
  SetBackground(colors.background);
  hint_->SetColor(colors.label);
  clock_->SetColor(colors.text);
  SetCaptionColor(*auto_, colors.label);
}

bool CControlPanelDlg::HandleKey(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    case Qt::Key_H:
      OnHelp();
      return true;
    case Qt::Key_X:
      OnExit();
      return true;
    case Qt::Key_F5:
      OnLoadDeck(0);
      return true;
    case Qt::Key_F6:
      OnLoadDeck(1);
      return true;
    default:
      break;
  }
  if (IsKeypadPoint(key)) {
    OnPreferences();
    return true;
  }
  return false;
}

bool CControlPanelDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent&>(*event))) {
    return true;
  }
  return CSkinnedDialog::eventFilter(watched, event);
}

void CControlPanelDlg::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(*event)) CSkinnedDialog::keyPressEvent(event);
}

void CControlPanelDlg::customEvent(QEvent* event) {
  if (event->type() == DeckEventType(kSongEndedMessage)) {
    OnSongEnded(static_cast<DeckEvent*>(event)->DeckIndex());
    return;
  }
  CSkinnedDialog::customEvent(event);
}

}  // namespace vx::player
