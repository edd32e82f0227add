#include "curation/CCueEditorDlg.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "curation/CPlaybackPanel.h"
#include "curation/CurationText.h"
#include "library/GuardOperation.h"
#include "library/NameCharacters.h"
#include "platform/ui/DialogControls.h"
#include "platform/ui/TextFields.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

constexpr int kNameColumn = 0;
constexpr int kOffsetColumn = 1;
constexpr int kNumberColumn = 2;
constexpr int kMaxCueName = 32;

// An offset field: a number with its up-down arrows, shown with leading zeros.
class OffsetField : public QSpinBox {
 public:
  OffsetField(const char* name, int maximum, int digits, QWidget* parent)
      : QSpinBox(parent), digits_(digits) {
    setObjectName(QLatin1String(name));
    setRange(0, maximum);
    // The arrows speed up the longer they are held.
    setAccelerated(true);
  }

 protected:
  QString textFromValue(int value) const override {
    return QStringLiteral("%1").arg(value, digits_, 10, QLatin1Char('0'));
  }

 private:
  int digits_;
};

// Left-pads text with zeros the way the offset fields are read: up to `width` characters,
// but by at most `most` zeros.
QString Padded(QString text, int width, int most) {
  for (int added = 0; added < most && text.size() < width; ++added) text.prepend(QLatin1Char('0'));
  return text;
}

}  // namespace

CCueEditorDlg::CCueEditorDlg(dao::DaoDatabase& db, std::int32_t songId, const QString& songName,
                             const Variant& variant, QWidget* parent)
    : CPlaybackDlg(variant.medium == CueMedium::kCd,
                   variant.medium == CueMedium::kCd ? SongPlayback::Units::kCdFrames
                                                    : SongPlayback::Units::kMilliseconds,
                   parent),
      variant_(variant),
      cues_(db, songId),
      songName_(songName) {
  setWindowTitle(QString::fromUtf8(variant.title));
  BuildControls();
}

void CCueEditorDlg::BuildControls() {
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("cueList"));
  list_->setColumnCount(3);
  list_->setHeaderLabels({QString::fromUtf8(text::kCueNameColumn),
                          QString::fromUtf8(text::kCueOffsetColumn),
                          QString::fromUtf8(text::kCueNumberColumn)});
  list_->setColumnWidth(kNameColumn, 200);
  list_->setColumnWidth(kOffsetColumn, 100);
  list_->setColumnWidth(kNumberColumn, 75);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setAllColumnsShowFocus(true);
  list_->setMinimumWidth(400);
  connect(list_, &QTreeWidget::itemActivated, this, [this] { OnEdit(); });
  connect(list_, &QTreeWidget::itemClicked, this,
          [this] { ShowHint(QString::fromUtf8(text::kCueHintList)); });

  editButton_ = MakeButton(text::kEditButton, "editButton", this);
  upButton_ = MakeButton(text::kCueUp, "upButton", this);
  downButton_ = MakeButton(text::kCueDown, "downButton", this);
  deleteButton_ = MakeButton(text::kDeleteButton, "deleteButton", this);
  closeButton_ = MakeButton(text::kCueClose, "closeButton", this);
  connect(editButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnEdit);
  connect(upButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnUp);
  connect(downButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnDown);
  connect(deleteButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnDelete);
  connect(closeButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnClose);
  auto* listButtons = new QVBoxLayout;
  for (QPushButton* button : {editButton_, upButton_, downButton_, deleteButton_}) {
    listButtons->addWidget(button);
  }
  listButtons->addStretch(1);
  listButtons->addWidget(closeButton_);
  auto* listRow = new QHBoxLayout;
  listRow->addWidget(list_, 1);
  listRow->addLayout(listButtons);

  // The "Edit Cue Point" group.
  auto* editGroup = new QGroupBox(QString::fromUtf8(text::kEditCueGroup), this);
  cueName_ = new QLineEdit(editGroup);
  cueName_->setObjectName(QStringLiteral("cueName"));
  cueName_->setReadOnly(true);
  cueName_->setFocusPolicy(Qt::NoFocus);
  const bool cd = Medium() == CueMedium::kCd;
  minutes_ = new OffsetField("minutes", variant_.maxMinutes, 2, editGroup);
  seconds_ = new OffsetField("seconds", 59, 2, editGroup);
  fraction_ = new OffsetField("fraction", cd ? 74 : 999, cd ? 2 : 3, editGroup);
  for (QSpinBox* field : {minutes_, seconds_, fraction_}) {
    connect(field, &QSpinBox::valueChanged, this, &CCueEditorDlg::OnOffsetChanged);
    // Enter in an offset field saves it (see eventFilter).
    field->installEventFilter(this);
  }
  playQ_ = MakeButton(text::kPlayQ, "playQ", editGroup);
  setCurrentPos_ = MakeButton(text::kSetCurrentPos, "setCurrentPos", editGroup);
  save_ = MakeButton(text::kCueSave, "saveButton", editGroup);
  connect(playQ_, &QPushButton::clicked, this, &CCueEditorDlg::OnPlayQ);
  connect(setCurrentPos_, &QPushButton::clicked, this, &CCueEditorDlg::OnSetCurrentPos);
  connect(save_, &QPushButton::clicked, this, &CCueEditorDlg::OnSave);

  slider_ = new QSlider(Qt::Horizontal, editGroup);
  slider_->setObjectName(QStringLiteral("positionSlider"));
  slider_->setTickPosition(QSlider::TicksBelow);
  connect(slider_, &QSlider::sliderPressed, this, [this] { dragging_ = true; });
  connect(slider_, &QSlider::sliderReleased, this, [this] {
    dragging_ = false;
    SlideTo(slider_->value());
  });
  // Moves made with the keyboard or by clicking beside the handle seek at once.
  connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
    if (action != QAbstractSlider::SliderMove && !dragging_) SlideTo(slider_->sliderPosition());
  });
  auto* sliderLabel = new QLabel(QString::fromUtf8(text::kCuePosition), editGroup);
  sliderLabel->setBuddy(slider_);

  auto* fields = new QHBoxLayout;
  fields->addWidget(minutes_);
  fields->addWidget(new QLabel(QStringLiteral(":"), editGroup));
  fields->addWidget(seconds_);
  fields->addWidget(new QLabel(QLatin1String(cd ? ":" : "."), editGroup));
  fields->addWidget(fraction_);
  fields->addStretch(1);
  auto* editButtons = new QHBoxLayout;
  editButtons->addWidget(playQ_);
  editButtons->addWidget(setCurrentPos_);
  editButtons->addWidget(save_);
  auto* sliderRow = new QHBoxLayout;
  sliderRow->addWidget(sliderLabel);
  sliderRow->addWidget(slider_, 1);
  auto* editLayout = new QVBoxLayout(editGroup);
  editLayout->addWidget(cueName_);
  editLayout->addLayout(fields);
  editLayout->addLayout(editButtons);
  editLayout->addLayout(sliderRow);

  // The "Create New Cue Point" group.
  auto* newGroup = new QGroupBox(QString::fromUtf8(text::kNewCueGroup), this);
  nameBox_ = new QComboBox(newGroup);
  nameBox_->setObjectName(QStringLiteral("nameBox"));
  nameBox_->setEditable(true);
  nameBox_->setInsertPolicy(QComboBox::NoInsert);
  nameBox_->installEventFilter(this);
  nameBox_->lineEdit()->installEventFilter(this);
  // Names are typed in capitals.
  SetTextRule(*nameBox_->lineEdit(), TextRule{true, 0});
  connect(nameBox_->lineEdit(), &QLineEdit::returnPressed, this, &CCueEditorDlg::OnNew);
  newButton_ = MakeButton(text::kNewButton, "newButton", newGroup);
  connect(newButton_, &QPushButton::clicked, this, &CCueEditorDlg::OnNew);
  auto* newLayout = new QHBoxLayout(newGroup);
  newLayout->addWidget(nameBox_, 1);
  newLayout->addWidget(newButton_);

  auto* right = new QVBoxLayout;
  right->addWidget(editGroup);
  right->addWidget(newGroup);
  right->addWidget(&Panel());
  auto* top = new QHBoxLayout;
  top->addLayout(listRow, 1);
  top->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(&HintField());
}

void CCueEditorDlg::Initialize() {
  Guard([this] {
    LoadList();
    QStringList names;
    for (const char* name : variant_.names) names << QString::fromUtf8(name).toUpper();
    names.sort();
    nameBox_->addItems(names);
    nameBox_->setCurrentIndex(0);
    EnableEditing(false);
    SetUnsaved(false);

    // The greeting comes first so that a playback failure or the missing disc stays shown.
    ShowHint(QString::fromUtf8(text::kCueHintOpen));
    StartSong(true);
    Panel().SetSong(songName_);
    StartTicking();
  });
}

void CCueEditorDlg::Guard(const std::function<void()>& work) {
  if (!GuardOperation(work)) EndAsCancelled();
}

long CCueEditorDlg::SliderUnit() const { return Medium() == CueMedium::kWave ? 1000 : 10; }

void CCueEditorDlg::SetSliderRange(long first, long last, int tickInterval) {
  slider_->setRange(static_cast<int>(first / SliderUnit()), static_cast<int>(last / SliderUnit()));
  slider_->setTickInterval(tickInterval);
}

void CCueEditorDlg::PositionRead(long position) {
  if (!dragging_) slider_->setValue(static_cast<int>(position / SliderUnit()));
}

void CCueEditorDlg::IdentityFailed() {
  // The drive cannot say which disc came in: say why before the editor closes.
  ReportMciError();
  Ui().Message(HintField().text(), MsgIcon::Exclamation);
  EndAsCancelled();
}

void CCueEditorDlg::SlideTo(int sliderPosition) {
  Playback().PlayFrom(sliderPosition * SliderUnit());
}

bool CCueEditorDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn &&
      (watched == nameBox_ || watched == nameBox_->lineEdit())) {
    ShowHint(QString::fromUtf8(text::kCueHintNameBox));
  }
  if (event->type() == QEvent::KeyPress &&
      (watched == minutes_ || watched == seconds_ || watched == fraction_)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && save_->isEnabled()) {
      OnSave();
      return true;
    }
  }
  return CPlaybackDlg::eventFilter(watched, event);
}

// ---- the list ----

void CCueEditorDlg::LoadList() {
  const std::vector<CueListTable::Row> rows = cues_.Load();
  list_->clear();
  for (const CueListTable::Row& row : rows) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(kNameColumn, QString::fromStdString(row.description));
    item->setText(kOffsetColumn, QString::fromStdString(row.offset));
    item->setText(kNumberColumn, QString::asprintf("%d", row.number));
  }
}

int CCueEditorDlg::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

// ---- writing cue rows ----

void CCueEditorDlg::ChangeCue(CueAction action, int row) {
  QString name, offset;
  if (row >= 0 && row < list_->topLevelItemCount()) {
    name = list_->topLevelItem(row)->text(kNameColumn);
    offset = list_->topLevelItem(row)->text(kOffsetColumn);
  }
  CueListTable::Result result = CueListTable::Result::kDone;
  switch (action) {
    case CueAction::kUpdateOffset:
      result = cues_.UpdateOffset(name.toStdString(), offset.toStdString());
      break;
    case CueAction::kAddNew: {
      const QString typed = ReplaceForbiddenNameCharacters(nameBox_->currentText());
      const std::string description = LeftCharacters(typed, kMaxCueName).toStdString();
      long position = Playback().Start();
      Playback().Position(position);
      const std::string text =
          FormatCueOffset(Medium(), position, Playback().Start(), Playback().End());
      if (ParseCueOffset(Medium(), text) < 0) {
        // The decks read offsets by character position; a longer text would send them to
        // the wrong place.
        Ui().Message(QString::asprintf(text::kCueTooLate, text.c_str()), MsgIcon::Exclamation);
        return;
      }
      result = cues_.Add(description, text);
      break;
    }
    case CueAction::kDelete: {
      const QString question = QString::asprintf(variant_.deleteQuestion, qUtf8Printable(name));
      if (Ui().Message(question, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) return;
      result = cues_.Delete(name.toStdString());
      break;
    }
  }
  if (result == CueListTable::Result::kNoSuchCue) {
    Ui().Message(QString::fromUtf8(text::kCueGone), MsgIcon::Exclamation);
  } else if (result == CueListTable::Result::kNameTaken) {
    Ui().Message(QString::fromUtf8(text::kCueNameTaken), MsgIcon::Exclamation);
  }
  LoadList();
}

void CCueEditorDlg::RenumberCues() {
  cues_.Renumber();
  LoadList();
}

void CCueEditorDlg::SwapCueNumbers(const QString& a, const QString& b, int numberA, int numberB) {
  if (cues_.SetNumbers(a.toStdString(), static_cast<std::int16_t>(numberA), b.toStdString(),
                       static_cast<std::int16_t>(numberB)) == CueListTable::Result::kNoSuchCue) {
    Ui().Message(QString::fromUtf8(text::kCueGone), MsgIcon::Exclamation);
    LoadList();
  }
}

// ---- user actions ----

bool CCueEditorDlg::SettleUnsaved() {
  if (!unsaved_) return true;
  const MsgAnswer answer = Ui().Message(QString::fromUtf8(text::kCueUnsaved), MsgIcon::Question,
                                        MsgButtons::YesNoCancel);
  if (answer == MsgAnswer::Cancel) return false;
  if (answer == MsgAnswer::Yes) OnSave();
  return true;
}

void CCueEditorDlg::OnNew() {
  Guard([this] {
    if (!SettleUnsaved()) return;
    ChangeCue(CueAction::kAddNew, -1);
    LeaveEditMode();
  });
}

void CCueEditorDlg::OnEdit() {
  Guard([this] {
    const int row = SelectedRow();
    if (row < 0 || !SettleUnsaved()) return;
    EnterEditMode(row);
  });
}

void CCueEditorDlg::OnDelete() {
  Guard([this] {
    const int row = SelectedRow();
    if (row < 0 || !SettleUnsaved()) return;
    ChangeCue(CueAction::kDelete, row);
    RenumberCues();
    LeaveEditMode();
  });
}

void CCueEditorDlg::OnUp() {
  Guard([this] {
    const int row = SelectedRow();
    if (row > 0) MoveRow(row, row - 1);
  });
}

void CCueEditorDlg::OnDown() {
  Guard([this] {
    const int row = SelectedRow();
    if (row >= 0 && row + 1 < list_->topLevelItemCount()) MoveRow(row, row + 1);
  });
}

void CCueEditorDlg::MoveRow(int from, int to) {
  QTreeWidgetItem* moved = list_->topLevelItem(from);
  QTreeWidgetItem* other = list_->topLevelItem(to);
  const QString movedName = moved->text(kNameColumn);
  const QString otherName = other->text(kNameColumn);
  const int movedNumber = moved->text(kNumberColumn).toInt();
  const int targetNumber = other->text(kNumberColumn).toInt();
  // The rows trade names and offsets; the numbers stay with the places.
  for (int column : {kNameColumn, kOffsetColumn}) {
    const QString text = moved->text(column);
    moved->setText(column, other->text(column));
    other->setText(column, text);
  }
  // The cue being edited keeps its edit when it moves, so Save writes to the right cue.
  if (editingIndex_ == from) {
    editingIndex_ = to;
  } else if (editingIndex_ == to) {
    editingIndex_ = from;
  }
  list_->setCurrentItem(other);
  other->setSelected(true);
  SwapCueNumbers(movedName, otherName, targetNumber, movedNumber);
}

void CCueEditorDlg::OnClose() {
  Guard([this] {
    if (!SettleUnsaved()) return;
    accept();
  });
}

// ---- edit mode ----

void CCueEditorDlg::EnableEditing(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{minutes_, seconds_, fraction_, playQ_,
                                                          setCurrentPos_, save_}) {
    control->setEnabled(enabled);
  }
}

void CCueEditorDlg::EnterEditMode(int row) {
  ShowHint(QString::fromUtf8(text::kCueHintEdit));
  const bool wasEditing = editingIndex_ >= 0;
  if (!wasEditing) EnableEditing(true);
  save_->setEnabled(false);
  fieldsChanged_ = false;
  SetUnsaved(false);

  QTreeWidgetItem* item = list_->topLevelItem(row);
  std::string offset = item->text(kOffsetColumn).toStdString();
  const long parsed = ParseCueOffset(Medium(), offset);
  if (parsed < 0) {
    offset = ZeroCueOffset(Medium());
    item->setText(kOffsetColumn, QString::fromLatin1(offset.c_str()));
    cuePosition_ = Playback().Start();
  } else {
    cuePosition_ = Playback().Start() + parsed;
  }
  FillFields(offset);
  cueName_->setText(item->text(kNameColumn));
  editingIndex_ = row;
  cuePosition_ = std::clamp(cuePosition_, Playback().Start(), Playback().End());
}

void CCueEditorDlg::LeaveEditMode() {
  cueName_->clear();
  {
    const QSignalBlocker blockMinutes(minutes_), blockSeconds(seconds_), blockFraction(fraction_);
    for (QSpinBox* field : {minutes_, seconds_, fraction_}) field->clear();
  }
  EnableEditing(false);
  editingIndex_ = -1;
  fieldsChanged_ = false;
  SetUnsaved(false);
}

void CCueEditorDlg::FillFields(const std::string& offsetText) {
  const QString text = QString::fromStdString(offsetText);
  const int last = Medium() == CueMedium::kWave ? 3 : 2;
  const QSignalBlocker blockMinutes(minutes_), blockSeconds(seconds_), blockFraction(fraction_);
  minutes_->setValue(text.left(2).toInt());
  seconds_->setValue(text.mid(3, 2).toInt());
  fraction_->setValue(text.right(last).toInt());
}

void CCueEditorDlg::FillFieldsFromCuePosition() {
  FillFields(FormatCueOffset(Medium(), cuePosition_, Playback().Start(), Playback().End()));
}

std::string CCueEditorDlg::FieldsText() const {
  const bool wave = Medium() == CueMedium::kWave;
  const QString minutes = Padded(minutes_->cleanText(), 2, 1);
  const QString seconds = Padded(seconds_->cleanText(), 2, 1);
  const QString last = Padded(fraction_->cleanText(), wave ? 3 : 2, wave ? 2 : 1);
  return (minutes + QLatin1Char(':') + seconds + QLatin1Char(wave ? '.' : ':') + last)
      .toStdString();
}

long CCueEditorDlg::ValidOffset(const std::string& text) const {
  const long value = ParseCueOffset(Medium(), text);
  return value >= 0 && SongStart() + value <= SongEnd() ? value : -1;
}

void CCueEditorDlg::SetUnsaved(bool unsaved) {
  unsaved_ = unsaved;
  PaintField(*cueName_, !unsaved);
}

void CCueEditorDlg::OnOffsetChanged() {
  if (editingIndex_ < 0) return;
  fieldsChanged_ = true;
  SetUnsaved(true);
  save_->setEnabled(true);
}

void CCueEditorDlg::OnSetCurrentPos() {
  Guard([this] {
    if (editingIndex_ < 0) return;
    long position = cuePosition_;
    if (!Playback().Position(position)) return;
    const std::string text =
        FormatCueOffset(Medium(), position, Playback().Start(), Playback().End());
    if (ParseCueOffset(Medium(), text) < 0) {
      Ui().Message(QString::asprintf(text::kCueTooLate, text.c_str()), MsgIcon::Exclamation);
      return;
    }
    cuePosition_ = std::clamp(position, Playback().Start(), Playback().End());
    FillFields(text);
    fieldsChanged_ = true;
    SetUnsaved(true);
    save_->setEnabled(true);
  });
}

void CCueEditorDlg::OnSave() {
  Guard([this] {
    if (editingIndex_ < 0) return;
    const std::string text = FieldsText();
    const long value = ValidOffset(text);
    if (value < 0) {
      FillFieldsFromCuePosition();
      return;
    }
    cuePosition_ = Playback().Start() + value;
    list_->topLevelItem(editingIndex_)->setText(kOffsetColumn, QString::fromStdString(text));
    ChangeCue(CueAction::kUpdateOffset, editingIndex_);
    save_->setEnabled(false);
    fieldsChanged_ = false;
    SetUnsaved(false);
  });
}

void CCueEditorDlg::OnPlayQ() {
  Guard([this] {
    if (editingIndex_ < 0) return;
    if (fieldsChanged_) {
      const long value = ValidOffset(FieldsText());
      if (value >= 0) {
        cuePosition_ = Playback().Start() + value;
      } else {
        FillFieldsFromCuePosition();
      }
      fieldsChanged_ = false;
      SetUnsaved(true);
      save_->setEnabled(true);
    }
    Playback().PlayFrom(cuePosition_);
  });
}

}  // namespace vx
