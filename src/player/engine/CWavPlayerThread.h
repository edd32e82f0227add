// The playback engine of one WAV deck: a worker thread that opens a song file of the
// library, feeds it to a wave output through a ring of ten buffers, changes speed and pitch
// together through the deck's pitch processor (classic, smooth or key lock), jumps to cue points and to times, and reports
// what has been heard and the signal levels. Plain PCM songs are read directly; compressed
// songs are decoded chunk by chunk by the deck's audio server.
//
// The deck's thread gives commands through one command slot (a command not yet taken is
// overwritten by the next); every lock wait is bounded at 15000 ms. Inside the engine thread
// a failure ends the current step only: the device is paused, the failure is counted, and
// the engine waits for the next command.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/riff/RiffFile.h"
#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveDevice.h"
#include "player/engine/AudioServerLink.h"
#include "player/engine/EngineSignals.h"
#include "player/engine/EngineTypes.h"
#include "player/engine/PitchProcessor.h"
#include "platform/sync/TimedRecursiveMutex.h"

namespace vx::wave {
class WaveDeviceList;
}

namespace vx::player {

class CWavPlayerThread {
 public:
  static constexpr int kSlots = 10;
  static constexpr int kNoSlot = -1;  // the first-done index when no buffer came back
  // Starts of a new audio server one load may try after the previous server was lost.
  static constexpr int kServerStartAttempts = 2;
  static constexpr std::chrono::milliseconds kLockWait{15000};

  // devices: where the device number of Start is looked up; server: this engine's link to
  // its audio server.
  CWavPlayerThread(wave::WaveDeviceList& devices, std::unique_ptr<AudioServerLink> server);
  // Tells the server to finish if still bound. The thread must have ended (WaitForExit).
  ~CWavPlayerThread();
  CWavPlayerThread(const CWavPlayerThread&) = delete;
  CWavPlayerThread& operator=(const CWavPlayerThread&) = delete;

  // Starts the command loop on its own thread at the highest priority the system allows.
  void RunThread();
  // Waits up to timeout for the thread to end after Close; true when it has.
  bool WaitForExit(std::chrono::milliseconds timeout);

  // Binds the engine to its device and starts its audio server. 0 success; 1-4 from the
  // server binding; 5 and 6 the command lock could not be taken.
  int Start(std::uint32_t device, std::uint32_t instance, const std::string& programFolder);

  // Command operations: true when the command was placed, false when the lock failed.
  bool Load(const std::string& songFolder, std::uint32_t songId, const std::string& text1,
            const std::string& text2, const std::vector<std::uint32_t>& cueOffsets);
  bool Pause();
  bool Play();
  bool JumpToCue(std::int32_t cue);
  bool JumpToCueAndPlay(std::int32_t cue);
  bool SeekTo(std::int32_t ms);
  bool SeekToAndPlay(std::int32_t ms);
  bool Close();
  bool SetPitch(double percent);
  // The kind of pitch processor the deck plays through. It takes over at the next load, seek
  // or cue jump, each of which starts the sound afresh anyway: swapping processors in the
  // middle of the sound would break it. False when the lock failed.
  bool SetPitchQuality(PitchQuality quality);

  // The read position (absolute file offset), -1 when the lock failed within wait; endFlag
  // is set to 1 once the data ran out, until the next command. A window's timer asks with
  // no wait: the engine holds the lock while it loads, and a hung audio server would hold
  // the window with it.
  long GetReadPosition(std::uint32_t& endFlag, std::chrono::milliseconds wait = kLockWait);
  // 0, or -1 when the lock failed within wait.
  int GetLevels(std::uint32_t& leftPeak, std::uint32_t& rightPeak, std::uint32_t& leftAverage,
                std::uint32_t& rightAverage, std::chrono::milliseconds wait = kLockWait);
  // Milliseconds of the song heard so far; -1 when the lock failed. Throws 37 when the
  // device cannot tell its position.
  long GetPlayedMs();

  // For diagnostics and tests: failures raised inside the engine thread, and the last code.
  int FailureCount() const { return failures_.load(); }
  int LastFailure() const { return lastFailure_.load(); }
  // CPU time the engine thread has used, in seconds (0 before it runs).
  double ThreadCpuSeconds();
  // Audio servers started again by a load after the previous one died or hung.
  int ServerRestarts() const { return serverRestarts_.load(); }
  // Buffers written to the device and not yet given back.
  int BuffersQueued();
  // Commands the engine thread has taken from the slot so far.
  int CommandsTaken() const { return commandsTaken_.load(); }
  double Pitch();
  // The kind of processor the loaded song plays through (Classic before any load, and for
  // formats the chosen kind cannot take).
  PitchQuality PlayingQuality();

 private:
  using Lock = std::unique_lock<TimedRecursiveMutex>;

  void CommandLoop();
  // Refills the first free slot, starting at the first that came back.
  void RefillOne();
  // Marks a free slot as being filled (under the buffer lock).
  void Claim(BufferSlot& slot);
  // Fills a slot being filled and writes it. The filling (file, audio server, pitch processor)
  // runs outside the buffer lock: the device's completion callback waits for that lock on
  // the thread that feeds the card, so it must never wait on file or server I/O.
  void FillAndWrite(BufferSlot& slot);
  // After the device gave back every queued buffer, gives each free slot its count of the
  // buffer-done semaphore, so the loop refills the whole ring: counts taken while the song
  // drained, or by fills that produced nothing, come back here.
  void CountFreeSlots();
  // A song without samples queues nothing, so no buffer would ever come back to tell its
  // end: it ends as soon as it is loaded or played.
  void EndIfNothingToPlay();
  // Once the last queued buffer has played: back to the start, paused, end flag set.
  void FinishSongIfDrained();
  // Appends what the pitch processor still holds, then the input it left, to the song's
  // last buffer; false when not all of it fitted (the next buffer takes the rest).
  bool PlayLeftover(BufferSlot& slot);
  void Fail(int code);

  void LoadSong();
  // Makes sure the audio server is bound: a server that died or hung was dropped by its
  // link, and the next compressed song starts a new one, so one bad file cannot end a set.
  bool BindServer();
  void OpenSongFile(const std::string& path);
  void ReleaseSong();
  // The song file's position, kept here so that reads can be bounded without asking.
  void SeekFile(std::uint64_t offset);
  // Reads up to count bytes of sample data into the read buffer, never past the end of the
  // data chunk: whatever follows the samples (a LIST of texts, say) is not sound.
  std::uint32_t ReadData(std::uint32_t count);
  void BuildRing();
  void BuildCueTable();
  void Prime();
  void FillSlot(BufferSlot& slot);
  void WriteSlot(BufferSlot& slot);
  void ResampleInto(BufferSlot& slot, const std::uint8_t* source, std::size_t length);
  // Makes the processor of the chosen kind for the output format anew (at a load, or when
  // the kind changed), else makes the one there forget what it holds.
  void RestartProcessor(bool newFormat);
  void JumpToCueEntry(std::int32_t k, bool play);
  void SeekToTime(std::int32_t ms, bool play);
  void TearDownBuffers();
  void CloseEngine();
  // Decodes count bytes at bytes through the server into decoded_; throws the given codes.
  void DecodeChunk(std::uint32_t count, std::uint32_t& consumed, std::uint32_t& produced,
                   int noAnswer, int blockFailure, int dataFailure);
  std::uint32_t SkipFor(std::uint32_t remainder) const;
  std::uint32_t ClampToData(std::int64_t value) const;
  // Stores a command (and its parameters) in the slot and wakes the engine thread.
  bool Place(EngineCommand command, bool clearsEndFlag,
             const std::function<void()>& setParameters = {});
  void OnDeviceMessage(wave::WaveMessage message, wave::WaveHeader* header);

  Lock TakeLock(TimedRecursiveMutex& mutex, int failure);

  wave::WaveDeviceList& devices_;
  std::unique_ptr<AudioServerLink> server_;

  // Guarded by the command lock.
  TimedRecursiveMutex commandLock_;
  EngineCommand pending_ = EngineCommand::kPause;
  std::string songFolder_;
  std::uint32_t songId_ = 0;
  std::string text1_;
  std::string text2_;
  std::vector<std::uint32_t> cueOffsets_;
  std::int32_t cueTarget_ = 0;
  std::int32_t timeTarget_ = 0;
  std::uint32_t device_ = 0;
  std::uint32_t instance_ = 0;
  std::string programFolder_;
  std::uint32_t readPosition_ = 0;
  double pitch_ = 0;
  PitchQuality quality_ = PitchQuality::kClassic;  // chosen
  PitchQuality processorMadeFor_ = PitchQuality::kClassic;
  // Made at load from the output format; used by the engine thread under the command lock.
  std::unique_ptr<PitchProcessor> processor_;
  std::uint32_t endFlag_ = 0;
  std::uint32_t positionBase_ = 0;
  std::uint32_t baseSkip_ = 0;
  std::uint32_t levels_[4] = {0, 0, 0, 0};  // left average, right average, left peak, right peak

  EngineSignals signals_;

  // Guarded by the buffer lock.
  TimedRecursiveMutex bufferLock_;
  std::vector<BufferSlot> slots_;
  int firstDone_ = kNoSlot;

  // The engine thread's own.
  std::atomic<EngineState> engineState_{EngineState::kIdle};
  // The data ran out: the buffers still queued play out before the engine rewinds.
  bool draining_ = false;
  std::array<wave::WaveHeader, kSlots> headers_;
  std::array<std::vector<std::uint8_t>, kSlots> headerData_;
  wave::WaveOut* device_out_ = nullptr;
  riff::RiffFile file_;
  bool fileOpen_ = false;
  std::uint32_t dataStart_ = 0;
  std::uint32_t dataSize_ = 0;  // the sample bytes present in the file
  std::uint64_t filePosition_ = 0;
  std::vector<std::uint8_t> readBuffer_;
  std::vector<std::uint8_t> decoded_;
  std::uint32_t decodedMaximum_ = 0;
  std::uint32_t outputBufferSize_ = 0;
  std::vector<std::uint8_t> leftover_;
  std::uint32_t leftoverCount_ = 0;
  std::vector<std::uint8_t> joined_;  // leftover + source, the processor's input
  std::uint32_t skipBytes_ = 0;
  riff::WaveFormat fileFormat_;    // the song file's format
  riff::WaveFormat outputFormat_;  // the PCM given to the device
  std::uint32_t chunkSize_ = 0;
  bool compressed_ = false;
  std::vector<std::uint8_t> formatBlock_;
  std::vector<CueEntry> cues_;

  std::thread thread_;
  std::mutex exitMutex_;
  std::condition_variable exited_;
  bool threadDone_ = false;
  std::atomic<int> failures_{0};
  std::atomic<int> lastFailure_{0};
  std::atomic<int> commandsTaken_{0};
  std::atomic<int> serverRestarts_{0};
};

}  // namespace vx::player
