#include "compression/CCompressSongsDlg.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cassert>
#include <filesystem>

#include "compression/AcmConversion.h"
#include "compression/CAcmThread.h"
#include "compression/CompressionText.h"
#include "library/CSongRecordset.h"
#include "library/GuardOperation.h"
#include "library/LibraryText.h"
#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

constexpr const char* kUncompressedFilter = "SongCompression = ' '";

// A failure of the conversion thread, carried to the user-interface thread.
class ThreadMessageEvent : public QEvent {
 public:
  explicit ThreadMessageEvent(const AcmThreadMessage& message)
      : QEvent(CCompressSongsDlg::kThreadMessage), message(message) {}
  AcmThreadMessage message;
};

QString Text(const char* text) { return QString::fromUtf8(text); }

QString ThreadMessageText(const AcmThreadMessage& message) {
  switch (message.kind) {
    case AcmThreadMessage::Kind::NoMemory: return Text(text::kNoMemory);
    case AcmThreadMessage::Kind::Code: return QString::asprintf(text::kAcmThreadCode, message.code);
    case AcmThreadMessage::Kind::Unexpected: return Text(text::kAcmThreadUnexpected);
  }
  return Text(text::kAcmThreadUnexpected);
}

// True when path is a regular file whose format record carries the tag. Anything else
// (a missing file, a pipe) is left for the conversion to judge; nothing here may block.
bool HoldsFormat(const std::string& path, std::uint16_t formatTag) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  riff::WaveLayout layout;
  return riff::ReadWaveLayout(path, layout) == riff::WaveError::kNone &&
         layout.format.formatTag == formatTag;
}

QProgressBar* MakeBar(const char* objectName, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(QString::fromUtf8(objectName));
  bar->setRange(0, 100);
  bar->setValue(0);
  return bar;
}

QLabel* MakeText(const char* objectName, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromUtf8(objectName));
  label->setMinimumWidth(360);
  return label;
}

}  // namespace

QString ElapsedTimeText(std::chrono::seconds elapsed) {
  const long long total = std::max<long long>(0, elapsed.count());
  const long long days = total / 86400;
  const int hours = static_cast<int>(total / 3600 % 24);
  const int minutes = static_cast<int>(total / 60 % 60);
  QString result = Text(text::kElapsedTime);
  result.replace(QStringLiteral("%D"), QString::number(days));
  result.replace(QStringLiteral("%H"), QStringLiteral("%1").arg(hours, 2, 10, QLatin1Char('0')));
  result.replace(QStringLiteral("%M"), QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0')));
  return result;
}

CCompressSongsDlg::CCompressSongsDlg(dao::DaoDatabase& database, std::string songsFolder,
                                     Environment environment, QWidget* parent)
    : QDialog(parent),
      database_(database),
      songsFolder_(std::move(songsFolder)),
      env_(std::move(environment)),
      compressorList_(new QListWidget(this)),
      goButton_(new QPushButton(Text(text::kGo), this)),
      cancelButton_(new QPushButton(Text(text::kCancel), this)),
      overallBar_(MakeBar("overallBar", this)),
      songBar_(MakeBar("songBar", this)),
      upperText_(MakeText("upperText", this)),
      lowerText_(MakeText("lowerText", this)) {
  if (!env_.findCodec) env_.findCodec = FindCodecForTag;
  setWindowTitle(Text(text::kCompressTitle));

  compressorList_->setObjectName(QStringLiteral("compressorList"));
  compressorList_->setMaximumHeight(compressorList_->fontMetrics().height() * 4);
  goButton_->setObjectName(QStringLiteral("goButton"));
  goButton_->setDefault(true);
  cancelButton_->setObjectName(QStringLiteral("cancelButton"));
  connect(goButton_, &QPushButton::clicked, this, &CCompressSongsDlg::OnGo);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  timer_.setObjectName(QStringLiteral("compressTimer"));
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &CCompressSongsDlg::OnTimer);

  auto* compressorLabel = new QLabel(Text(text::kCompressorLabel), this);
  compressorLabel->setBuddy(compressorList_);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(goButton_);
  buttons->addWidget(cancelButton_);
  buttons->addStretch(1);
  auto* top = new QHBoxLayout;
  auto* choice = new QVBoxLayout;
  choice->addWidget(compressorLabel);
  choice->addWidget(compressorList_);
  top->addLayout(choice, 1);
  top->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(upperText_);
  layout->addWidget(overallBar_);
  layout->addWidget(lowerText_);
  layout->addWidget(songBar_);
}

CCompressSongsDlg::~CCompressSongsDlg() {
  if (!closed_) {
    closed_ = true;
    CloseDown();
  }
}

bool CCompressSongsDlg::Guarded(const std::function<void()>& work) {
  const bool finished = GuardOperation(work, [](int code) {
    return QString::asprintf(text::kCompressorCode, code);
  });
  if (!finished) reject();
  return finished;
}

bool CCompressSongsDlg::OnInitDialog() {
  bool cancelled = false;
  const bool opened = Guarded([&] {
    WaitCursor busy;
    RemoveLeftoverTempFiles();
    songs_ = std::make_unique<CSongRecordset>(database_);
    songs_->SetFilter(kUncompressedFilter);
    songs_->Open(dao::OpenType::Dynaset, {}, dao::kDenyWrite);
    for (count_ = 0; !songs_->IsEOF(); songs_->MoveNext()) ++count_;

    if (!env_.findCodec(riff::kFormatMsAdpcm)) {
      Ui().Message(Text(text::kNoCompressor), MsgIcon::Stop);
      cancelled = true;
      return;
    }
    auto* item = new QListWidgetItem(Text(text::kAdpcmCompressor), compressorList_);
    item->setData(Qt::UserRole, riff::kFormatMsAdpcm);
    compressorList_->setCurrentItem(item);

    thread_ = std::make_unique<CAcmThread>([this](const AcmThreadMessage& message) {
      QCoreApplication::postEvent(this, new ThreadMessageEvent(message));
    });
    thread_->Run();
    threadStarted_ = true;

    upperText_->setText(QString::asprintf(text::kSongsToCompress, count_));
    overallBar_->setRange(0, static_cast<int>(count_));
    overallBar_->setValue(0);
    songBar_->setRange(0, 100);
    if (count_ == 0) goButton_->setEnabled(false);
  });
  if (opened && cancelled) reject();
  return opened && !cancelled;
}

// Songs left behind by a run that ended abruptly (the program killed mid-song): only this
// dialog makes "Temp" files, and only one Velumix program runs at a time, so none is in use.
void CCompressSongsDlg::RemoveLeftoverTempFiles() const {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(songsFolder_, error)) {
    const std::string name = entry.path().filename().string();
    if (IsCompressionTempName(name)) std::filesystem::remove(entry.path(), error);
  }
}

void CCompressSongsDlg::OnGo() {
  Guarded([&] {
    WaitCursor busy;
    goButton_->setEnabled(false);
    compressorList_->setEnabled(false);
    timer_.start(env_.tick);
    if (!timer_.isActive()) {
      reject();
      Ui().Message(Text(text::kNoTimer), MsgIcon::Exclamation);
      return;
    }
    const QListWidgetItem* chosen = compressorList_->currentItem();
    assert(chosen != nullptr);
    formatTag_ = static_cast<std::uint16_t>(chosen->data(Qt::UserRole).toUInt());
    codeLetter_ = chosen->text().at(0).toLatin1();

    startTime_ = env_.now();
    songs_->MoveFirst();
    songNumber_ = 1;
    StartSongs();
  });
}

// Starts the song at the current row; songs whose file already holds the format are marked
// on the way. With no song left the run is complete.
void CCompressSongsDlg::StartSongs() {
  for (; !songs_->IsEOF(); songs_->MoveNext()) {
    overallBar_->setValue(static_cast<int>(std::min(songNumber_, count_)));
    upperText_->setText(QString::asprintf(text::kCompressingSong, songNumber_, count_));
    currentSongId_ = songs_->SongID;
    lowerText_->setText(QString::asprintf(text::kSongInProgress, currentSongId_,
                                          songs_->SongName.c_str(), songs_->SongArtist.c_str()));
    const auto id = static_cast<std::uint32_t>(currentSongId_);
    ConversionRequest request;
    request.source = SongFileNameInFolder(songsFolder_, id);
    request.destination = CompressionTempName(songsFolder_, id);
    request.sourceTag = riff::kFormatPcm;
    request.destinationTag = formatTag_;
    request.name = songs_->SongName;
    request.artist = songs_->SongArtist;
    request.software = text::kProductName;
    if (HoldsFormat(request.source, formatTag_)) {
      MarkCurrentSong();
      ++songNumber_;
      continue;
    }
    if (thread_->StartConversion(request)) ++songNumber_;
    return;
  }
  currentSongId_ = -1;
  QCoreApplication::postEvent(this, new QEvent(kCompletionMessage));
}

void CCompressSongsDlg::OnTimer() {
  // A message box of an earlier tick runs its own event loop; this tick waits its turn.
  if (inTimer_ || currentSongId_ < 0 || thread_ == nullptr) return;
  inTimer_ = true;
  Guarded([&] {
    const AcmStatus status = thread_->GetStatus();
    songBar_->setValue(status.percent);
    if (!status.done) return;
    EndSong(status);
    songBar_->setValue(0);
    songs_->MoveNext();
    StartSongs();
  });
  inTimer_ = false;
}

// The new file replaces the song's file; the row is marked exactly when it is in place. A
// failed conversion leaves the song as it was and discards its partial file.
void CCompressSongsDlg::EndSong(const AcmStatus& status) {
  const auto id = static_cast<std::uint32_t>(currentSongId_);
  const std::string temp = CompressionTempName(songsFolder_, id);
  std::error_code error;
  if (!status.failed && ReplaceSongFile(SongFileNameInFolder(songsFolder_, id), temp, [] {
        Ui().Message(Text(text::kReplaceFailed), MsgIcon::Stop);
      })) {
    MarkCurrentSong();
  }
  std::filesystem::remove(temp, error);
}

void CCompressSongsDlg::MarkCurrentSong() {
  songs_->Edit();
  songs_->SongCompression = std::string(1, codeLetter_);
  songs_->Update();
}

void CCompressSongsDlg::customEvent(QEvent* event) {
  if (event->type() == kCompletionMessage) {
    Guarded([&] { OnCompletion(); });
  } else if (event->type() == kThreadMessage) {
    Ui().Message(ThreadMessageText(static_cast<ThreadMessageEvent*>(event)->message),
                 MsgIcon::Stop);
  }
}

void CCompressSongsDlg::OnCompletion() {
  if (closed_) return;
  timer_.stop();
  songs_->Close();
  complete_ = true;
  upperText_->setText(QString::asprintf(text::kCompressComplete, count_));
  lowerText_->setText(ElapsedTimeText(
      std::chrono::duration_cast<std::chrono::seconds>(env_.now() - startTime_)));
  cancelButton_->setText(Text(text::kCloseCaption));
}

void CCompressSongsDlg::done(int result) {
  if (!closed_) {
    closed_ = true;
    CloseDown();
  }
  QDialog::done(result);
}

// The closing steps, whichever way the dialog closes: stop the thread and the timer, close
// the songs, wait a bounded time for the thread, and discard the song in progress.
void CCompressSongsDlg::CloseDown() {
  if (thread_) thread_->Stop();
  timer_.stop();
  if (songs_) {
    songs_->Close();
    songs_.reset();
  }
  if (thread_ && threadStarted_ && !thread_->WaitForEnd(env_.threadWait)) {
    Ui().Message(Text(text::kThreadTimeout), MsgIcon::Stop);
  }
  // A thread that did not end is let go: it frees what it uses once its step returns.
  thread_.reset();
  if (currentSongId_ >= 0) {
    std::error_code error;
    std::filesystem::remove(
        CompressionTempName(songsFolder_, static_cast<std::uint32_t>(currentSongId_)), error);
    currentSongId_ = -1;
  }
}

}  // namespace vx
