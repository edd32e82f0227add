#include "player/engine/CWavPlayerThread.h"

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <new>

#include "library/SongStore.h"
#include "platform/process/ThreadPriority.h"
#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::player {
namespace {

// Failure codes raised inside the engine thread (each ends the current step).
enum Failure : int {
  kFileOpen = 1,
  kNotWave = 2,
  kNoFormat = 3,
  kShortFormat = 4,
  kNoData = 5,
  kFileClose = 7,
  kDeviceOpen = 8,
  kDeviceClose = 9,
  kPauseFailed = 10,
  kRestartFailed = 11,
  kSeekReset = 13,
  kPrepare = 16,
  kWrite = 17,
  kBufferLockRefill = 20,
  kCommandLockLoop = 21,
  kCommandLockOpen = 22,
  kBufferLockRing = 24,
  kCommandLockFill = 26,
  kBufferLockTearDown = 30,
  kBufferLockTearDown2 = 31,
  kServerRefused = 33,
  kFillNoDecode = 34,
  kEndLock = 36,  // also: reset during a cue jump with pre-roll
  kSeekPause = 37,
  kCueLock = 38,
  kCueNoDecode = 39,
  kCueBlock = 40,
  kCueData = 41,
  kServerInfo = 42,
  kServerFormat = 43,
  kJumpPause = 45,
  kJumpPauseNoPreRoll = 46,
  kJumpReset = 47,
  kJumpPausePcm = 48,
  kFillBlock = 49,
  kFillData = 50,
  kCommandLockClose = 51,
  kBufferLockClose = 52,
  kBufferLockLoad = 53,
  kPrimeTimeout = 54,
  kBufferLockJump = 55,
  kJumpFirstBuffer = 56,
  kJumpRefill = 57,
  kLevelsLock = 58,
};

constexpr std::uint16_t kTagMpegLayer3 = 0x55;

// The format record's fields; the block alignment of MPEG Layer-3 is its block size (the
// 16-bit value at byte 24). The extra bytes are dropped: the engine and the device need none.
bool ParseFormat(const std::vector<std::uint8_t>& record, riff::WaveFormat& format) {
  if (!riff::WaveFormat::FromBytes(record.data(), record.size(), format)) return false;
  if (format.formatTag == kTagMpegLayer3) {
    if (record.size() < 26) return false;
    format.blockAlign = static_cast<std::uint16_t>(record[24] | record[25] << 8);
  }
  format.extra.clear();
  return true;
}

// Peak and average of each channel of 16-bit samples: left average, right average, left
// peak, right peak.
void MeasureLevels(const std::uint8_t* data, std::uint32_t length, std::uint16_t channels,
                   std::uint32_t levels[4]) {
  const std::uint32_t n = length / 2;
  std::uint64_t sum[2] = {0, 0};
  std::uint32_t peak[2] = {0, 0};
  for (std::uint32_t i = 0; i < n; ++i) {
    std::int16_t sample;
    std::memcpy(&sample, data + 2 * i, 2);
    const std::uint32_t magnitude = static_cast<std::uint32_t>(std::abs(int{sample}));
    const int channel = channels == 2 ? static_cast<int>(i % 2) : 0;
    sum[channel] += magnitude;
    peak[channel] = std::max(peak[channel], magnitude);
  }
  if (n == 0) {
    std::fill(levels, levels + 4, 0u);
  } else if (channels == 2) {
    levels[0] = static_cast<std::uint32_t>(static_cast<double>(sum[0]) / n * 0.5);
    levels[1] = static_cast<std::uint32_t>(static_cast<double>(sum[1]) / n * 0.5);
    levels[2] = peak[0];
    levels[3] = peak[1];
  } else {
    levels[0] = levels[1] = static_cast<std::uint32_t>(sum[0] / n);
    levels[2] = levels[3] = peak[0];
  }
}

}  // namespace

CWavPlayerThread::CWavPlayerThread(wave::WaveDeviceList& devices,
                                   std::unique_ptr<AudioServerLink> server)
    : devices_(devices), server_(std::move(server)) {}

CWavPlayerThread::~CWavPlayerThread() {
  if (thread_.joinable()) {
    Close();
    thread_.join();
  }
  if (server_ && server_->IsBound()) server_->Finish();
}

void CWavPlayerThread::RunThread() {
  thread_ = std::thread([this] { CommandLoop(); });
  RaiseToRealTimePriority(thread_);
}

double CWavPlayerThread::ThreadCpuSeconds() {
  clockid_t clock;
  timespec used{};
  if (!thread_.joinable() || pthread_getcpuclockid(thread_.native_handle(), &clock) != 0 ||
      clock_gettime(clock, &used) != 0) {
    return 0;
  }
  return static_cast<double>(used.tv_sec) + used.tv_nsec / 1e9;
}

int CWavPlayerThread::BuffersQueued() {
  std::lock_guard buffers(bufferLock_);
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const BufferSlot& slot) {
    return slot.state == SlotState::kWritten;
  }));
}

bool CWavPlayerThread::WaitForExit(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  std::unique_lock lock(exitMutex_);
  return exited_.wait_for(lock, timeout, [this] { return threadDone_; });
}

CWavPlayerThread::Lock CWavPlayerThread::TakeLock(TimedRecursiveMutex& mutex,
                                                  int failure) {
  Lock lock(mutex, std::defer_lock);
  if (!lock.try_lock_for(kLockWait)) throw failure;
  return lock;
}

// ---------------------------------------------------------------- deck-side operations

int CWavPlayerThread::Start(std::uint32_t device, std::uint32_t instance,
                            const std::string& programFolder) {
  Lock first(commandLock_, std::defer_lock);
  if (!first.try_lock_for(kLockWait)) return 6;
  instance_ = instance;
  device_ = device;
  programFolder_ = programFolder;
  {
    Lock second(commandLock_, std::defer_lock);
    if (!second.try_lock_for(kLockWait)) return 5;
    Lock buffers(bufferLock_, std::defer_lock);
    if (!buffers.try_lock_for(kLockWait)) return 5;
    slots_.assign(kSlots, BufferSlot{});
    for (int i = 0; i < kSlots; ++i) slots_[i].index = i;
  }
  return server_ ? server_->Start(programFolder, static_cast<int>(instance)) : 0;
}

bool CWavPlayerThread::Place(EngineCommand command, bool clearsEndFlag,
                             const std::function<void()>& setParameters) {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(kLockWait)) return false;
  if (setParameters) setParameters();
  pending_ = command;
  if (clearsEndFlag) endFlag_ = 0;
  signals_.SetCommand();
  return true;
}

bool CWavPlayerThread::Load(const std::string& songFolder, std::uint32_t songId,
                            const std::string& text1, const std::string& text2,
                            const std::vector<std::uint32_t>& cueOffsets) {
  return Place(EngineCommand::kLoad, true, [&] {
    songFolder_ = songFolder;
    songId_ = songId;
    text1_ = text1;
    text2_ = text2;
    cueOffsets_ = cueOffsets;
  });
}

bool CWavPlayerThread::Pause() { return Place(EngineCommand::kPause, false); }
bool CWavPlayerThread::Play() { return Place(EngineCommand::kPlay, true); }
bool CWavPlayerThread::Close() { return Place(EngineCommand::kClose, false); }

bool CWavPlayerThread::JumpToCue(std::int32_t cue) {
  return Place(EngineCommand::kJumpToCue, true, [&] { cueTarget_ = cue; });
}

bool CWavPlayerThread::JumpToCueAndPlay(std::int32_t cue) {
  return Place(EngineCommand::kJumpToCueAndPlay, true, [&] { cueTarget_ = cue; });
}

bool CWavPlayerThread::SeekTo(std::int32_t ms) {
  return Place(EngineCommand::kSeekTo, true, [&] { timeTarget_ = ms; });
}

bool CWavPlayerThread::SeekToAndPlay(std::int32_t ms) {
  return Place(EngineCommand::kSeekToAndPlay, true, [&] { timeTarget_ = ms; });
}

bool CWavPlayerThread::SetPitch(double percent) {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(kLockWait)) return false;
  pitch_ = (percent != 0.0 && std::fabs(percent) < 0.1) ? 0.0 : percent;
  return true;
}

double CWavPlayerThread::Pitch() {
  Lock lock(commandLock_);
  return pitch_;
}

bool CWavPlayerThread::SetPitchQuality(PitchQuality quality) {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(kLockWait)) return false;
  quality_ = quality;
  return true;
}

PitchQuality CWavPlayerThread::PlayingQuality() {
  Lock lock(commandLock_);
  return processor_ ? processor_->Quality() : PitchQuality::kClassic;
}

long CWavPlayerThread::GetReadPosition(std::uint32_t& endFlag,
                                       std::chrono::milliseconds wait) {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(wait)) return -1;
  endFlag = endFlag_;
  return static_cast<long>(readPosition_);
}

int CWavPlayerThread::GetLevels(std::uint32_t& leftPeak, std::uint32_t& rightPeak,
                                std::uint32_t& leftAverage, std::uint32_t& rightAverage,
                                std::chrono::milliseconds wait) {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(wait)) return -1;
  leftAverage = levels_[0];
  rightAverage = levels_[1];
  leftPeak = levels_[2];
  rightPeak = levels_[3];
  return 0;
}

long CWavPlayerThread::GetPlayedMs() {
  Lock lock(commandLock_, std::defer_lock);
  if (!lock.try_lock_for(kLockWait)) return -1;
  if (device_out_ == nullptr || fileFormat_.avgBytesPerSec == 0 ||
      outputFormat_.samplesPerSec == 0 || outputFormat_.blockAlign == 0) {
    return 0;  // nothing loaded: nothing heard
  }
  const double base =
      std::trunc(1000.0 * (static_cast<double>(positionBase_ - dataStart_) /
                               fileFormat_.avgBytesPerSec +
                           static_cast<double>(baseSkip_) / outputFormat_.blockAlign /
                               outputFormat_.samplesPerSec));
  std::uint64_t frames = 0;
  if (device_out_->Position(frames) != wave::kOk) throw static_cast<int>(kSeekPause);
  const double heard = std::trunc(1000.0 * 0.994 * static_cast<double>(frames) *
                                  (1.0 + pitch_ / 100.0) / outputFormat_.samplesPerSec);
  return static_cast<long>(base + heard);
}

// ---------------------------------------------------------------- the engine thread

void CWavPlayerThread::CommandLoop() {
  bool running = true;
  while (running) {
    const EngineSignals::Woken woken = signals_.Wait();
    try {
      if (woken == EngineSignals::Woken::kBufferDone) {
        RefillOne();
        continue;
      }
      Lock command = TakeLock(commandLock_, kCommandLockLoop);
      commandsTaken_.fetch_add(1);
      const EngineCommand taken = pending_;
      switch (taken) {
        case EngineCommand::kLoad:
          LoadSong();
          break;
        case EngineCommand::kPause:
          command.unlock();
          if (device_out_ == nullptr || device_out_->Pause() != wave::kOk) throw int{kPauseFailed};
          break;
        case EngineCommand::kPlay:
          command.unlock();
          if (device_out_ == nullptr || device_out_->Restart() != wave::kOk) {
            throw int{kRestartFailed};
          }
          break;
        case EngineCommand::kJumpToCue:
        case EngineCommand::kJumpToCueAndPlay:
          JumpToCueEntry(cueTarget_, pending_ == EngineCommand::kJumpToCueAndPlay);
          break;
        case EngineCommand::kSeekTo:
        case EngineCommand::kSeekToAndPlay:
          SeekToTime(timeTarget_, pending_ == EngineCommand::kSeekToAndPlay);
          break;
        case EngineCommand::kClose:
          running = false;
          command.unlock();
          CloseEngine();
          break;
        default:
          running = false;
          break;
      }
      if (taken == EngineCommand::kLoad || taken == EngineCommand::kPlay ||
          taken == EngineCommand::kJumpToCueAndPlay || taken == EngineCommand::kSeekToAndPlay) {
        EndIfNothingToPlay();
      }
    } catch (int code) {
      Fail(code);
    } catch (const std::bad_alloc&) {
      Fail(-1);
    } catch (...) {
      Fail(-2);
    }
  }
  {
    std::lock_guard lock(exitMutex_);
    threadDone_ = true;
  }
  exited_.notify_all();
}

void CWavPlayerThread::Fail(int code) {
  failures_.fetch_add(1);
  lastFailure_.store(code);
  if (device_out_ != nullptr) device_out_->Pause();
}

void CWavPlayerThread::RefillOne() {
  BufferSlot* claimed = nullptr;
  {
    Lock buffers = TakeLock(bufferLock_, kBufferLockRefill);
    const int start = (firstDone_ >= 0 && firstDone_ < kSlots) ? firstDone_ : 0;
    firstDone_ = kNoSlot;
    if (slots_.size() != kSlots || engineState_.load() == EngineState::kLoading ||
        dataSize_ == 0) {
      return;
    }
    if (draining_) {
      FinishSongIfDrained();
      return;
    }
    for (int k = 0; k < kSlots && claimed == nullptr; ++k) {
      BufferSlot& slot = slots_[(start + k) % kSlots];
      if (slot.state == SlotState::kFree) claimed = &slot;
    }
    if (claimed == nullptr) return;
    claimed->state = SlotState::kFilling;
  }
  FillAndWrite(*claimed);
}

void CWavPlayerThread::Claim(BufferSlot& slot) {
  Lock buffers = TakeLock(bufferLock_, kBufferLockRefill);
  assert(slot.state == SlotState::kFree);
  slot.state = SlotState::kFilling;
}

void CWavPlayerThread::FillAndWrite(BufferSlot& slot) {
  assert(slot.state == SlotState::kFilling);
  try {
    FillSlot(slot);
  } catch (...) {
    // The slot goes back to the ring; a later seek or load gives it its count again.
    Lock buffers = TakeLock(bufferLock_, kBufferLockRefill);
    slot.state = SlotState::kFree;
    throw;
  }
  WriteSlot(slot);
}

void CWavPlayerThread::CountFreeSlots() {
  Lock buffers = TakeLock(bufferLock_, kBufferLockRefill);
  const auto free = static_cast<int>(
      std::count_if(slots_.begin(), slots_.end(),
                    [](const BufferSlot& slot) { return slot.state == SlotState::kFree; }));
  int held = signals_.DoneCount();
  while (held < free && signals_.ReleaseDone()) ++held;
  while (held > free && signals_.TryTakeDone()) --held;
}

void CWavPlayerThread::EndIfNothingToPlay() {
  if (device_out_ == nullptr || dataSize_ != 0) return;
  if (device_out_->Pause() != wave::kOk) throw int{kPauseFailed};
  Lock command = TakeLock(commandLock_, kEndLock);
  endFlag_ = 1;
}

// ---------------------------------------------------------------- loading

void CWavPlayerThread::LoadSong() {
  // The command lock is held by the loop throughout.
  const std::string path = SongFileNameInFolder(songFolder_, songId_);
  if (slots_.size() != kSlots) throw int{kPrepare};  // Start was never called
  draining_ = false;
  if (engineState_.load() != EngineState::kIdle) {
    engineState_ = EngineState::kLoading;
    TearDownBuffers();
    ReleaseSong();
  }
  for (int i = 0; i < kSlots; ++i) {
    if (!signals_.ReleaseDone()) break;
  }
  engineState_ = EngineState::kLoading;
  OpenSongFile(path);

  chunkSize_ = fileFormat_.blockAlign == 0
                   ? 0
                   : (fileFormat_.avgBytesPerSec / fileFormat_.blockAlign) *
                         fileFormat_.blockAlign / 10;
  if (chunkSize_ == 0) throw int{kShortFormat};
  if (compressed_) {
    if (!BindServer() || !server_->SetChunkSize(chunkSize_) ||
        !server_->OpenSong(formatBlock_)) {
      throw int{kServerRefused};
    }
    formatBlock_.clear();
    std::vector<std::uint8_t> record;
    const auto status = server_->GetOutputFormat(decodedMaximum_, record);
    if (status == AudioServerLink::Status::kDataUnreadable) throw int{kServerFormat};
    if (status != AudioServerLink::Status::kOk) throw int{kServerInfo};
    if (!ParseFormat(record, outputFormat_) || outputFormat_.blockAlign == 0 ||
        decodedMaximum_ == 0) {
      throw int{kServerFormat};
    }
    decoded_.assign(decodedMaximum_, 0);
  } else {
    formatBlock_.clear();
    outputFormat_ = fileFormat_;
    decodedMaximum_ = chunkSize_;
  }
  readBuffer_.assign(chunkSize_, 0);
  RestartProcessor(true);

  Lock buffers = TakeLock(bufferLock_, kBufferLockLoad);
  wave::WaveOut* opened = nullptr;
  if (devices_.OpenOutput(device_, outputFormat_,
                          [this](wave::WaveMessage m, wave::WaveHeader* h) {
                            OnDeviceMessage(m, h);
                          },
                          opened) != wave::kOk) {
    throw int{kDeviceOpen};
  }
  device_out_ = opened;
  if (device_out_->Pause() != wave::kOk) throw int{kPauseFailed};
  BuildRing();
  BuildCueTable();
  Prime();
  firstDone_ = kNoSlot;
  if (device_out_->Restart() != wave::kOk) throw int{kRestartFailed};
  engineState_ = EngineState::kRunning;
}

bool CWavPlayerThread::BindServer() {
  if (!server_) return false;
  for (int attempt = 0; attempt < kServerStartAttempts && !server_->IsBound(); ++attempt) {
    serverRestarts_.fetch_add(1);
    server_->Start(programFolder_, static_cast<int>(instance_));
  }
  return server_->IsBound();
}

void CWavPlayerThread::OpenSongFile(const std::string& path) {
  if (!file_.Open(path, riff::RiffFile::Mode::Read)) throw int{kFileOpen};
  fileOpen_ = true;
  riff::WaveLayout layout;
  switch (riff::ReadWaveLayout(file_, layout)) {
    case riff::WaveError::kNone: break;
    case riff::WaveError::kOpen: throw int{kFileOpen};
    case riff::WaveError::kNotWave: throw int{kNotWave};
    case riff::WaveError::kNoFormat: throw int{kNoFormat};
    case riff::WaveError::kShortFormat: throw int{kShortFormat};
    case riff::WaveError::kNoData: throw int{kNoData};
  }
  formatBlock_ = layout.formatRecord;
  if (!ParseFormat(formatBlock_, fileFormat_) || fileFormat_.blockAlign == 0 ||
      fileFormat_.avgBytesPerSec == 0) {
    throw int{kShortFormat};
  }
  compressed_ = fileFormat_.formatTag != riff::kFormatPcm;
  dataStart_ = static_cast<std::uint32_t>(layout.dataOffset);
  // The samples really present: a stated size past the end of the file is cut there.
  dataSize_ = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(layout.AvailableDataBytes(), UINT32_MAX));
  SeekFile(dataStart_);
  Lock command = TakeLock(commandLock_, kCommandLockOpen);
  readPosition_ = dataStart_;
}

void CWavPlayerThread::SeekFile(std::uint64_t offset) {
  file_.Seek(offset);
  filePosition_ = offset;
}

std::uint32_t CWavPlayerThread::ReadData(std::uint32_t count) {
  assert(count <= readBuffer_.size());
  const std::uint64_t end = std::uint64_t{dataStart_} + dataSize_;
  const std::uint64_t left = filePosition_ < end ? end - filePosition_ : 0;
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
  const auto n = static_cast<std::uint32_t>(file_.Read(readBuffer_.data(), wanted));
  filePosition_ += n;
  return n;
}

void CWavPlayerThread::ReleaseSong() {
  if (fileOpen_) {
    fileOpen_ = false;
    if (!file_.Close()) throw int{kFileClose};
  }
  readBuffer_ = {};
  decoded_ = {};
  leftover_ = {};
  joined_ = {};
  leftoverCount_ = 0;
  if (device_out_ != nullptr) {
    Lock command = TakeLock(commandLock_, kCommandLockClose);
    wave::WaveOut* device = device_out_;
    device_out_ = nullptr;
    if (device->Close() != wave::kOk) throw int{kDeviceClose};
  }
}

void CWavPlayerThread::BuildRing() {
  Lock buffers = TakeLock(bufferLock_, kBufferLockRing);
  outputBufferSize_ = static_cast<std::uint32_t>(1.5 * decodedMaximum_);
  for (int i = 0; i < kSlots && i < static_cast<int>(slots_.size()); ++i) {
    headerData_[i].assign(outputBufferSize_, 0);
    wave::WaveHeader& header = headers_[i];
    header.data = headerData_[i].data();
    header.bufferLength = outputBufferSize_;
    header.bytesRecorded = 0;
    header.flags = 0;
    header.next = nullptr;
    header.user = static_cast<std::uintptr_t>(i);
    slots_[i].header = &header;
    slots_[i].state = SlotState::kFree;
    slots_[i].endPosition = 0;
  }
  leftover_.assign(outputBufferSize_, 0);
  joined_.assign(outputBufferSize_ + decodedMaximum_, 0);
  leftoverCount_ = 0;
  skipBytes_ = 0;
}

std::uint32_t CWavPlayerThread::SkipFor(std::uint32_t remainder) const {
  if (remainder == 0) return 0;
  return outputFormat_.blockAlign *
         static_cast<std::uint32_t>(std::trunc(static_cast<double>(remainder) /
                                               fileFormat_.avgBytesPerSec *
                                               outputFormat_.samplesPerSec));
}

std::uint32_t CWavPlayerThread::ClampToData(std::int64_t value) const {
  return (value < 0 || value > static_cast<std::int64_t>(dataSize_))
             ? 0
             : static_cast<std::uint32_t>(value);
}

void CWavPlayerThread::BuildCueTable() {
  Lock command = TakeLock(commandLock_, kCueLock);
  cues_.clear();
  cues_.reserve(cueOffsets_.size());
  for (std::size_t i = 0; i < cueOffsets_.size(); ++i) {
    const std::uint32_t offset = cueOffsets_[i];
    std::uint32_t blockStart = offset / fileFormat_.blockAlign * fileFormat_.blockAlign;
    const std::uint32_t skip = SkipFor(offset - blockStart);
    blockStart = ClampToData(blockStart);
    SeekFile(dataStart_ + blockStart);
    const auto n = ReadData(chunkSize_);
    if (n == 0) continue;
    CueEntry entry;
    entry.index = static_cast<std::int32_t>(i);
    entry.blockStart = static_cast<std::int32_t>(blockStart);
    entry.skipBytes = static_cast<std::int32_t>(skip);
    if (compressed_) {
      std::uint32_t consumed = 0;
      std::uint32_t produced = 0;
      DecodeChunk(n, consumed, produced, kCueNoDecode, kCueBlock, kCueData);
      entry.nextRead = static_cast<std::int32_t>(blockStart + consumed);
      entry.preRollStart =
          std::max<std::int32_t>(0, static_cast<std::int32_t>(blockStart) -
                                        2 * static_cast<std::int32_t>(consumed));
      entry.chunkBytes = static_cast<std::int32_t>(consumed);
    } else {
      entry.nextRead = static_cast<std::int32_t>(blockStart + n);
    }
    cues_.push_back(entry);
  }
  SeekFile(dataStart_);
  positionBase_ = dataStart_;
  baseSkip_ = 0;
}

void CWavPlayerThread::Prime() {
  // The buffer lock is held, but the device is paused: no buffer comes back meanwhile.
  for (int i = 0; i < kSlots; ++i) {
    BufferSlot& slot = slots_[i];
    if (device_out_->Prepare(*slot.header) != wave::kOk) throw int{kPrepare};
    slot.state = SlotState::kFilling;
    FillAndWrite(slot);
    engineState_ = EngineState::kRunning;
    if (!signals_.TakeDone(kLockWait)) throw int{kPrimeTimeout};
  }
}

// ---------------------------------------------------------------- one buffer

void CWavPlayerThread::DecodeChunk(std::uint32_t count, std::uint32_t& consumed,
                                   std::uint32_t& produced, int noAnswer, int blockFailure,
                                   int dataFailure) {
  const auto status =
      server_->Decode(readBuffer_.data(), count, consumed, decoded_.data(),
                      static_cast<std::uint32_t>(decoded_.size()), produced);
  switch (status) {
    case AudioServerLink::Status::kOk: break;
    case AudioServerLink::Status::kNoAnswer: throw noAnswer;
    case AudioServerLink::Status::kBlockUnreadable: throw blockFailure;
    case AudioServerLink::Status::kDataUnreadable: throw dataFailure;
  }
  consumed = std::min(consumed, count);
  produced = std::min<std::uint32_t>(produced, static_cast<std::uint32_t>(decoded_.size()));
}

void CWavPlayerThread::FillSlot(BufferSlot& slot) {
  wave::WaveHeader& header = *slot.header;
  header.bufferLength = 0;
  const auto n = ReadData(chunkSize_);
  if (n > 0) {
    const std::uint8_t* source = readBuffer_.data();
    std::uint32_t length = n;
    std::uint32_t advance = n;
    if (compressed_) {
      std::uint32_t consumed = 0;
      DecodeChunk(n, consumed, length, kFillNoDecode, kFillBlock, kFillData);
      source = decoded_.data();
      advance = consumed;
    }
    if (skipBytes_ >= 1 && skipBytes_ < length) {
      source += skipBytes_;
      length -= skipBytes_;
      skipBytes_ = 0;
    }
    Lock command = TakeLock(commandLock_, kCommandLockFill);
    ResampleInto(slot, source, length);
    readPosition_ += advance;
    slot.endPosition = readPosition_;
    if (advance != n) SeekFile(readPosition_);
  }
  // The data ran out: once everything held is in a buffer, what is queued plays out, then
  // the engine rewinds. Until then the next buffers take the rest.
  if (n != chunkSize_ && PlayLeftover(slot)) draining_ = true;
}

bool CWavPlayerThread::PlayLeftover(BufferSlot& slot) {
  // The data ran out. The processor gives what it still holds; the frames it could not take
  // (the classic kind keeps back a run it could not finish) are the song's last frames and
  // play as they are. What does not fit this buffer goes into the next one.
  Lock command = TakeLock(commandLock_, kCommandLockFill);
  wave::WaveHeader& header = *slot.header;
  assert(header.bufferLength <= outputBufferSize_);
  std::size_t length = header.bufferLength;
  std::size_t used = 0;
  if (leftoverCount_ > 0) {
    length += processor_->Process(pitch_, leftover_.data(), leftoverCount_,
                                  header.data + length, outputBufferSize_ - length, used);
    assert(used <= leftoverCount_);
    leftoverCount_ -= static_cast<std::uint32_t>(used);
    std::memmove(leftover_.data(), leftover_.data() + used, leftoverCount_);
  }
  // The processor is flushed once it takes no more of the input; it answers less than the
  // room once it has given everything.
  bool flushed = false;
  if (leftoverCount_ == 0 || used == 0) {
    length += processor_->Flush(header.data + length, outputBufferSize_ - length);
    flushed = length < outputBufferSize_;
  }
  if (flushed) {
    const auto count = static_cast<std::uint32_t>(
        std::min<std::size_t>(leftoverCount_, outputBufferSize_ - length));
    std::memcpy(header.data + length, leftover_.data(), count);
    length += count;
    leftoverCount_ -= count;
    std::memmove(leftover_.data(), leftover_.data() + count, leftoverCount_);
  }
  if (length != header.bufferLength) {
    header.bufferLength = static_cast<std::uint32_t>(length);
    slot.endPosition = readPosition_;
  }
  return flushed && leftoverCount_ == 0;
}

void CWavPlayerThread::FinishSongIfDrained() {
  // The buffer lock is held.
  for (const BufferSlot& slot : slots_) {
    if (slot.state == SlotState::kWritten) return;
  }
  draining_ = false;
  if (!SeekTo(0)) throw int{kEndLock};
  // The ring is empty now: one count per slot refills it from the start once the rewind
  // (a command, so taken first) is done.
  for (int i = 0; i < kSlots; ++i) signals_.ReleaseDone();
  engineState_ = EngineState::kRunning;
  Lock command = TakeLock(commandLock_, kEndLock);
  endFlag_ = 1;
}

void CWavPlayerThread::ResampleInto(BufferSlot& slot, const std::uint8_t* source,
                                    std::size_t length) {
  // The command lock is held (the pitch is read under it).
  assert(processor_);
  wave::WaveHeader& header = *slot.header;
  // The input left over from the previous buffer goes first; without any, the source is
  // given as it is.
  const std::uint8_t* input = source;
  std::size_t total = length;
  if (leftoverCount_ > 0) {
    std::memcpy(joined_.data(), leftover_.data(), leftoverCount_);
    const std::size_t copy = std::min(length, joined_.size() - leftoverCount_);
    std::memcpy(joined_.data() + leftoverCount_, source, copy);
    input = joined_.data();
    total = leftoverCount_ + copy;
  }
  std::size_t used = 0;
  header.bufferLength = static_cast<std::uint32_t>(
      processor_->Process(pitch_, input, total, header.data, outputBufferSize_, used));
  assert(used <= total);
  leftoverCount_ = static_cast<std::uint32_t>(std::min(total - used, leftover_.size()));
  std::memmove(leftover_.data(), input + used, leftoverCount_);
}

void CWavPlayerThread::RestartProcessor(bool newFormat) {
  // The command lock is held.
  if (newFormat || !processor_ || processorMadeFor_ != quality_) {
    processor_ = MakePitchProcessor(quality_, outputFormat_);
    processorMadeFor_ = quality_;
  } else {
    processor_->Reset();
  }
}

void CWavPlayerThread::WriteSlot(BufferSlot& slot) {
  wave::WaveHeader& header = *slot.header;
  std::uint32_t levels[4];
  MeasureLevels(header.data, header.bufferLength, outputFormat_.channels, levels);
  {
    // Queued and marked written in one step under the buffer lock, so the callback that
    // gives it back always finds it written.
    Lock buffers = TakeLock(bufferLock_, kBufferLockRefill);
    if (header.bufferLength == 0) {
      // Nothing to play. At the end of the data (it ended on a chunk boundary) the slot stays
      // free; otherwise it keeps its count, so the loop fills it again from the next data.
      slot.state = SlotState::kFree;
      if (!draining_) signals_.ReleaseDone();
      return;
    }
    if (device_out_->Write(header) != wave::kOk) {
      slot.state = SlotState::kFree;
      throw int{kWrite};
    }
    slot.state = SlotState::kWritten;
  }
  Lock command = TakeLock(commandLock_, kLevelsLock);
  std::copy(levels, levels + 4, levels_);
}

void CWavPlayerThread::OnDeviceMessage(wave::WaveMessage message, wave::WaveHeader* header) {
  if (message != wave::WaveMessage::kDone || header == nullptr) return;
  std::lock_guard buffers(bufferLock_);
  const auto index = static_cast<std::size_t>(header->user);
  if (index >= slots_.size()) return;
  BufferSlot& slot = slots_[index];
  if ((header->flags.load() & wave::kHeaderDone) == 0 || slot.state != SlotState::kWritten) {
    return;
  }
  if (firstDone_ == kNoSlot) firstDone_ = static_cast<int>(index);
  slot.state = SlotState::kFree;
  signals_.ReleaseDone();
}

// ---------------------------------------------------------------- jumps and seeks

void CWavPlayerThread::JumpToCueEntry(std::int32_t k, bool play) {
  // The command lock is held by the loop.
  if (device_out_ == nullptr || k < 0 || k >= static_cast<std::int32_t>(cues_.size())) return;
  const CueEntry& entry = cues_[static_cast<std::size_t>(k)];
  draining_ = false;
  const std::uint32_t blockStart = ClampToData(entry.blockStart);
  const std::uint32_t preRoll = ClampToData(entry.preRollStart);

  if (!compressed_ || preRoll == 0) {
    if (device_out_->Reset() != wave::kOk) throw int{kJumpReset};
    if (!play && device_out_->Pause() != wave::kOk) {
      throw int{compressed_ ? kJumpPauseNoPreRoll : kJumpPausePcm};
    }
    SeekFile(dataStart_ + blockStart);
    readPosition_ = positionBase_ = dataStart_ + blockStart;
    baseSkip_ = 0;
    skipBytes_ = 0;
    leftoverCount_ = 0;
    RestartProcessor(false);
    CountFreeSlots();
    return;
  }

  // Prime the decoder with the two chunks before the cue, then start from the cue itself.
  std::uint32_t position = dataStart_ + preRoll;
  SeekFile(position);
  const auto chunkBytes = std::min<std::uint32_t>(static_cast<std::uint32_t>(entry.chunkBytes),
                                                  chunkSize_);
  std::uint32_t consumed = 0;
  std::uint32_t produced = 0;
  for (int i = 0; i < 3; ++i) {
    const auto n = ReadData(chunkBytes);
    DecodeChunk(n, consumed, produced, kFillNoDecode, kFillBlock, kFillData);
    position += n;
  }
  const std::uint32_t skip = static_cast<std::uint32_t>(entry.skipBytes);
  std::uint32_t firstOffset = skip;
  if (skip >= produced) {
    const auto n = ReadData(chunkBytes);
    DecodeChunk(n, consumed, produced, kFillNoDecode, kFillBlock, kFillData);
    position += n;
    firstOffset = 0;
  }
  if (device_out_->Reset() != wave::kOk) throw int{kEndLock};
  if (!play && device_out_->Pause() != wave::kOk) throw int{kJumpPause};
  // Every slot is free again and holds its count, whatever the ring went through before.
  CountFreeSlots();
  // Nothing read before the jump may follow the cue's first audio.
  leftoverCount_ = 0;
  RestartProcessor(false);
  skipBytes_ = 0;
  {
    Lock buffers = TakeLock(bufferLock_, kBufferLockJump);
    readPosition_ = position;
    BufferSlot& first = slots_[0];
    assert(first.state == SlotState::kFree);
    first.state = SlotState::kFilling;
    // The cue's first audio goes through the pitch processor like every later buffer, so
    // off pitch it does not play at the song's own speed. Nothing is queued on the device
    // after its reset, so no completion waits on the buffer lock meanwhile.
    ResampleInto(first, decoded_.data() + firstOffset, produced - firstOffset);
    first.endPosition = blockStart;
    firstDone_ = kNoSlot;
    engineState_ = EngineState::kRunning;
    WriteSlot(first);
    if (!signals_.TryTakeDone()) throw int{kJumpFirstBuffer};
  }
  // The rest of the ring is filled outside the buffer lock: the first buffer may already
  // be playing, and its return must not wait for the reading and decoding.
  for (int i = 1; i < kSlots; ++i) {
    BufferSlot& slot = slots_[i];
    Claim(slot);
    FillAndWrite(slot);
    if (!signals_.TryTakeDone()) throw int{kJumpRefill};
  }
  positionBase_ = position;
  baseSkip_ = skip;
}

void CWavPlayerThread::SeekToTime(std::int32_t ms, bool play) {
  // The command lock is held by the loop.
  if (device_out_ == nullptr) throw int{kSeekReset};
  draining_ = false;
  const auto offset =
      static_cast<std::int64_t>(std::trunc(ms * 0.001 * fileFormat_.avgBytesPerSec));
  std::int64_t blockStart = offset / fileFormat_.blockAlign * fileFormat_.blockAlign;
  const std::uint32_t skip =
      offset > 0 ? SkipFor(static_cast<std::uint32_t>(offset - blockStart)) : 0;
  const std::uint32_t start = ClampToData(blockStart);
  engineState_ = EngineState::kSeeking;
  SeekFile(dataStart_ + start);
  readPosition_ = positionBase_ = dataStart_ + start;
  baseSkip_ = skip;
  skipBytes_ = skip;
  if (device_out_->Reset() != wave::kOk) throw int{kSeekReset};
  if (play) {
    if (device_out_->Restart() != wave::kOk) throw int{kRestartFailed};
  } else if (device_out_->Pause() != wave::kOk) {
    throw int{kSeekPause};
  }
  leftoverCount_ = 0;
  RestartProcessor(false);
  // The loop refills the whole ring from the new place, one count per free slot.
  CountFreeSlots();
  engineState_ = EngineState::kSeekDone;
}

// ---------------------------------------------------------------- tear-down

void CWavPlayerThread::TearDownBuffers() {
  {
    Lock buffers = TakeLock(bufferLock_, kBufferLockTearDown);
    for (BufferSlot& slot : slots_) {
      if (slot.header != nullptr) slot.state = SlotState::kTornDown;
    }
  }
  if (device_out_ != nullptr) device_out_->Reset();
  Lock buffers = TakeLock(bufferLock_, kBufferLockTearDown2);
  for (BufferSlot& slot : slots_) {
    if (slot.state != SlotState::kTornDown || slot.header == nullptr) continue;
    if (device_out_ != nullptr) device_out_->Unprepare(*slot.header);
    headerData_[static_cast<std::size_t>(slot.index)] = {};
    slot.header = nullptr;
  }
  cues_.clear();
}

void CWavPlayerThread::CloseEngine() {
  engineState_ = EngineState::kLoading;
  TearDownBuffers();
  ReleaseSong();
  {
    Lock command = TakeLock(commandLock_, kCommandLockClose);
    if (server_ && server_->IsBound()) server_->Finish();
  }
  Lock buffers = TakeLock(bufferLock_, kBufferLockClose);
  slots_.clear();
}

}  // namespace vx::player
