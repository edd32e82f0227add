#include "support/ScriptedWaveIn.h"

#include <algorithm>
#include <cstring>

namespace vx::test {

unsigned ScriptedWaveIn::Open(const riff::WaveFormat& format, wave::WaveCallback callback) {
  if (open_) return wave::kAllocated;
  if (openResult != wave::kOk) return openResult;
  open_ = true;
  ++opens;
  format_ = format;
  callback_ = std::move(callback);
  frames_ = 0;
  callback_(wave::WaveMessage::kOpened, nullptr);
  return wave::kOk;
}

unsigned ScriptedWaveIn::Close() {
  if (!open_) return wave::kInvalidHandle;
  if (!queue_.empty()) return wave::kStillPlaying;
  open_ = false;
  started_ = false;
  callback_(wave::WaveMessage::kClosed, nullptr);
  callback_ = nullptr;
  return wave::kOk;
}

unsigned ScriptedWaveIn::Prepare(wave::WaveHeader& header) {
  if (!open_) return wave::kInvalidHandle;
  header.flags |= wave::kHeaderPrepared;
  return wave::kOk;
}

unsigned ScriptedWaveIn::Unprepare(wave::WaveHeader& header) {
  if (!open_) return wave::kInvalidHandle;
  if ((header.flags & wave::kHeaderInQueue) != 0) return wave::kStillPlaying;
  header.flags &= ~wave::kHeaderPrepared;
  return wave::kOk;
}

unsigned ScriptedWaveIn::AddBuffer(wave::WaveHeader& header) {
  if (!open_) return wave::kInvalidHandle;
  if ((header.flags & wave::kHeaderPrepared) == 0) return wave::kUnprepared;
  header.bytesRecorded = 0;
  header.flags = (header.flags & ~wave::kHeaderDone) | wave::kHeaderInQueue;
  queue_.push_back(&header);
  return wave::kOk;
}

unsigned ScriptedWaveIn::Start() {
  if (!open_) return wave::kInvalidHandle;
  started_ = true;
  return wave::kOk;
}

unsigned ScriptedWaveIn::Stop() {
  if (!open_) return wave::kInvalidHandle;
  started_ = false;
  if (!queue_.empty() && queue_.front()->bytesRecorded > 0) {
    wave::WaveHeader* partial = queue_.front();
    queue_.pop_front();
    Return(*partial);
  }
  return stopResult;
}

unsigned ScriptedWaveIn::Reset() {
  if (!open_) return wave::kInvalidHandle;
  started_ = false;
  while (!queue_.empty()) {
    wave::WaveHeader* header = queue_.front();
    queue_.pop_front();
    Return(*header);
  }
  frames_ = 0;
  return resetResult;
}

unsigned ScriptedWaveIn::Position(std::uint64_t& frames) {
  if (!open_) return wave::kInvalidHandle;
  frames = frames_;
  return wave::kOk;
}

void ScriptedWaveIn::Return(wave::WaveHeader& header) {
  header.flags = (header.flags & ~wave::kHeaderInQueue) | wave::kHeaderDone;
  callback_(wave::WaveMessage::kDone, &header);
}

bool ScriptedWaveIn::Fill(const std::vector<std::int16_t>& samples) {
  if (!open_ || !started_ || queue_.empty() || samples.empty()) return false;
  wave::WaveHeader& header = *queue_.front();
  const std::size_t room = (header.bufferLength - header.bytesRecorded) / 2;
  const std::size_t count = std::min(room, samples.size());
  std::memcpy(header.data + header.bytesRecorded, samples.data(), count * 2);
  header.bytesRecorded += static_cast<std::uint32_t>(count * 2);
  frames_ += count / format_.channels;
  return true;
}

bool ScriptedWaveIn::Deliver(const std::vector<std::int16_t>& samples) {
  if (!open_ || !started_ || queue_.empty() || samples.empty()) return false;
  wave::WaveHeader& header = *queue_.front();
  while (header.bytesRecorded < header.bufferLength) Fill(samples);
  queue_.pop_front();
  Return(header);
  return true;
}

bool ScriptedWaveIn::Deliver(std::int16_t value) {
  return Deliver(std::vector<std::int16_t>{value});
}

std::unique_ptr<wave::WaveDeviceList> ScriptedInputList(ScriptedWaveIn*& input) {
  wave::WaveDeviceSet devices;
  auto scripted = std::make_unique<ScriptedWaveIn>();
  input = scripted.get();
  devices.inputs.push_back(std::move(scripted));
  return std::make_unique<wave::WaveDeviceList>(std::move(devices));
}

}  // namespace vx::test
