#include "recorder/CRecorderMainWindow.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QVBoxLayout>

#include <optional>

#include "library/GuardOperation.h"
#include "library/LibraryQueries.h"
#include "platform/ui/UserInteraction.h"
#include "recorder/CAboutDlg.h"
#include "recorder/CHoverButton.h"
#include "recorder/RecorderText.h"

namespace vx {
namespace {

constexpr double kMegabyte = 1048576.0;
constexpr int kButtonWidth = 230;
constexpr int kButtonHeight = 38;

struct ButtonSpec {
  const char* caption;
  const char* hint;
  const char* objectName;
  std::optional<RecorderFlow> flow;  // none: Exit
};

constexpr ButtonSpec kButtons[] = {
    {text::kRecordNewSong, text::kRecordNewSongHint, "recordButton", RecorderFlow::RecordNewSong},
    {text::kImportSoundFile, text::kImportSoundFileHint, "importButton",
     RecorderFlow::ImportSoundFile},
    {text::kLogSongFromCd, text::kLogSongFromCdHint, "logCdButton", RecorderFlow::LogSongFromCd},
    {text::kSearch, text::kSearchHint, "searchButton", RecorderFlow::Search},
    {text::kCompressSongs, text::kCompressSongsHint, "compressButton",
     RecorderFlow::CompressSongs},
    {text::kSongTypes, text::kSongTypesHint, "songTypesButton", RecorderFlow::SongTypes},
    {text::kOptions, text::kOptionsHint, "optionsButton", RecorderFlow::Options},
    {text::kTechInfo, text::kTechInfoHint, "techInfoButton", RecorderFlow::TechInfo},
    {text::kPlaylist, text::kPlaylistHint, "playlistButton", RecorderFlow::Playlist},
    {text::kExit, text::kExitHint, "exitButton", std::nullopt},
};

// Recording needs a wave input and CD logging a CD drive.
bool DevicesAllow(RecorderFlow flow, const RecorderState& state) {
  if (flow == RecorderFlow::RecordNewSong) return state.NumWaveInputs() > 0;
  if (flow == RecorderFlow::LogSongFromCd) return state.NumCdDrives() > 0;
  return true;
}

QLabel* MakeHint(const QString& text, QWidget* parent) {
  auto* hint = new QLabel(text, parent);
  hint->setWordWrap(true);
  hint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The grid keeps the hint's room while it is hidden, so nothing jumps on hover.
  QSizePolicy policy = hint->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  hint->setSizePolicy(policy);
  return hint;
}

}  // namespace

CRecorderMainWindow::CRecorderMainWindow(RecorderState state, Environment environment,
                                         QWidget* parent)
    : QDialog(parent), state_(std::move(state)), env_(std::move(environment)) {
  setWindowTitle(QString::fromUtf8(text::kRecorderTitle));
  setWindowIcon(QIcon(QString::fromUtf8(text::kIconResource)));
  setMouseTracking(true);  // moves over the window itself hide the hints

  statusLine_ = new QLabel(this);
  statusLine_->setObjectName(QStringLiteral("statusLine"));
  statusLine_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  statusLine_->setFixedHeight(statusLine_->fontMetrics().height() + 10);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(MakeHeader());
  layout->addLayout(MakeButtonPanel(), 1);
  layout->addWidget(MakeSummaryPanel());
  layout->addWidget(statusLine_);
  resize(800, 600);

  // F12 is taken before any child sees it, whichever button has the focus.
  qApp->installEventFilter(this);

  spaceBar_->setValue(0);
  if (!GuardOperation([this] { UpdateSummary(); })) {
    // The window cannot show the library; it closes as soon as it runs.
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
  }
}

CRecorderMainWindow::~CRecorderMainWindow() { qApp->removeEventFilter(this); }

QLayout* CRecorderMainWindow::MakeHeader() {
  auto* icon = new QLabel(this);
  icon->setPixmap(windowIcon().pixmap(40, 40));
  auto* title = new QLabel(QString::fromUtf8(text::kRecorderTitle), this);
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
  titleFont.setBold(true);
  title->setFont(titleFont);
  auto* header = new QHBoxLayout;
  header->addWidget(icon);
  header->addWidget(title, 1);
  return header;
}

QLayout* CRecorderMainWindow::MakeButtonPanel() {
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(4);
  grid->setHorizontalSpacing(12);
  grid->setColumnStretch(1, 1);
  QFont buttonFont = font();
  buttonFont.setPointSizeF(buttonFont.pointSizeF() * 1.15);
  buttonFont.setBold(true);

  int row = 0;
  for (const ButtonSpec& spec : kButtons) {
    auto* button = new CHoverButton(QString::fromUtf8(spec.caption), this);
    button->setObjectName(QString::fromUtf8(spec.objectName));
    button->setFont(buttonFont);
    button->setFixedSize(kButtonWidth, kButtonHeight);

    QString hintText = QString::fromUtf8(spec.hint);
    if (spec.flow) {
      const RecorderFlow flow = *spec.flow;
      const bool built = env_.flows.count(flow) != 0;
      if (!built) hintText += QString::fromUtf8(text::kNotAvailableYet);
      button->setEnabled(built && DevicesAllow(flow, state_));
      connect(button, &QPushButton::clicked, this, [this, flow] { RunFlow(flow); });
      buttons_[flow] = button;
    } else {
      connect(button, &QPushButton::clicked, this, &QDialog::accept);
    }

    QLabel* hint = MakeHint(hintText, this);
    button->Link(hint);
    hints_.push_back(hint);
    connect(button, &CHoverButton::Hovered, this, [this](CHoverButton* hovered) {
      for (QWidget* other : hints_) {
        if (other != hovered->Hint()) other->hide();
      }
    });
    grid->addWidget(button, row, 0);
    grid->addWidget(hint, row, 1);
    ++row;
  }
  return grid;
}

QLabel* CRecorderMainWindow::MakeCountField(const char* objectName) {
  auto* field = new QLabel(QStringLiteral("0"), this);
  field->setObjectName(QString::fromUtf8(objectName));
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
  QFont bold = field->font();
  bold.setBold(true);
  field->setFont(bold);
  return field;
}

QWidget* CRecorderMainWindow::MakeSummaryPanel() {
  auto* box = new QGroupBox(QString::fromUtf8(text::kSummaryTitle), this);
  cdSongs_ = MakeCountField("cdSongs");
  compressedSongs_ = MakeCountField("compressedSongs");
  uncompressedSongs_ = MakeCountField("uncompressedSongs");
  totalSongs_ = MakeCountField("totalSongs");
  spaceText_ = new QLabel(box);
  spaceText_->setObjectName(QStringLiteral("spaceText"));
  spaceBar_ = new QProgressBar(box);
  spaceBar_->setObjectName(QStringLiteral("spaceBar"));
  spaceBar_->setRange(0, 100);
  spaceBar_->setMaximumHeight(spaceText_->fontMetrics().height() + 6);

  // The counts read as a sum: CD + compressed + uncompressed = total.
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(10);
  const std::pair<const char*, QLabel*> counts[] = {{text::kSongsOnCd, cdSongs_},
                                                    {text::kCompressedWav, compressedSongs_},
                                                    {text::kUncompressedWav, uncompressedSongs_},
                                                    {text::kTotalSongs, totalSongs_}};
  int column = 0;
  for (const auto& [label, field] : counts) {
    grid->addWidget(new QLabel(QString::fromUtf8(label), box), 0, column++, Qt::AlignRight);
    grid->addWidget(field, 0, column++);
  }
  grid->addWidget(new QLabel(QString::fromUtf8(text::kAvailSpace), box), 1, 0, Qt::AlignRight);
  grid->addWidget(spaceBar_, 1, 1, 1, 3);
  grid->addWidget(spaceText_, 1, 4, 1, 4);
  return box;
}

void CRecorderMainWindow::SetStatusText(const QString& text) { statusLine_->setText(text); }

void CRecorderMainWindow::RefreshSummary() { Guarded([this] { UpdateSummary(); }); }

void CRecorderMainWindow::UpdateSummary() {
  const SongCounts counts = CountSongsBySource(*state_.database);
  totalSongs_->setText(QString::number(counts.total));
  cdSongs_->setText(QString::number(counts.onCd));
  uncompressedSongs_->setText(QString::number(counts.uncompressed));
  compressedSongs_->setText(QString::number(counts.compressed));

  const std::string folder = state_.libraryFolder.toStdString();
  const DiskFigures space = env_.diskSpace(folder);
  const char drive = folder.empty() ? ' ' : folder.front();
  spaceText_->setText(QString::asprintf(text::kSpaceFormat, space.freeBytes / kMegabyte,
                                        space.totalBytes / kMegabyte, drive));
  spaceBar_->setValue(FreePercent(space));
}

void CRecorderMainWindow::RunFlow(RecorderFlow flow) {
  const auto runner = env_.flows.find(flow);
  if (runner == env_.flows.end()) return;
  Guarded([&] { runner->second(*this); });
}

void CRecorderMainWindow::OnAbout() {
  Guarded([this] {
    CAboutDlg about(VersionText(env_.build), this);
    Ui().RunModal(about);
  });
}

void CRecorderMainWindow::HideHints() {
  for (QWidget* hint : hints_) hint->hide();
}

bool CRecorderMainWindow::Guarded(const std::function<void()>& work) {
  if (GuardOperation(work)) return true;
  reject();  // closed as cancelled: the recorder ends with its main window
  return false;
}

bool CRecorderMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->window() == this) {
      QCoreApplication::postEvent(this, new QEvent(kSearchKeyMessage));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CRecorderMainWindow::customEvent(QEvent* event) {
  if (event->type() == kSearchKeyMessage) OnSearch();
}

void CRecorderMainWindow::mouseMoveEvent(QMouseEvent* event) {
  HideHints();
  QDialog::mouseMoveEvent(event);
}

void CRecorderMainWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SetStatusText(QString::fromUtf8(text::kClickToStart));
  QDialog::mouseReleaseEvent(event);
}

void CRecorderMainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  QDialog::mouseDoubleClickEvent(event);
  OnAbout();
}

}  // namespace vx
