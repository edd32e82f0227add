#include "platform/wave/portaudio/PortAudioWave.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/wave/portaudio/AudioLibraryLogs.h"

namespace vx::wave {
namespace {

PaSampleFormat SampleFormat(const riff::WaveFormat& format) {
  switch (format.bitsPerSample) {
    case 8: return paUInt8;
    case 16: return paInt16;
    case 24: return paInt24;
    default: return paInt32;
  }
}

PaStreamParameters Parameters(int deviceIndex, const riff::WaveFormat& format, bool output) {
  const PaDeviceInfo* info = Pa_GetDeviceInfo(deviceIndex);
  PaStreamParameters parameters{};
  parameters.device = deviceIndex;
  parameters.channelCount = format.channels;
  parameters.sampleFormat = SampleFormat(format);
  if (info != nullptr) {
    parameters.suggestedLatency =
        output ? info->defaultHighOutputLatency : info->defaultHighInputLatency;
  }
  return parameters;
}

bool Supported(int deviceIndex, const riff::WaveFormat& format, bool output) {
  if (!IsPlainPcm(format)) return false;
  const PaStreamParameters parameters = Parameters(deviceIndex, format, output);
  return Pa_IsFormatSupported(output ? nullptr : &parameters, output ? &parameters : nullptr,
                              format.samplesPerSec) == paFormatIsSupported;
}

// One open PortAudio stream. Reads and writes block until the card takes or gives a period;
// when the card fails they wait one period instead, so the device thread never spins.
class PortAudioStream : public WaveStream {
 public:
  PortAudioStream(std::shared_ptr<PortAudioSession> session, PaStream* stream,
                  const riff::WaveFormat& format)
      : session_(std::move(session)),
        stream_(stream),
        periodFrames_(BufferPump::PeriodFrames(format)),
        blockAlign_(format.blockAlign),
        silence_(SilenceByte(format)),
        periodTime_(std::chrono::microseconds(1'000'000ull * periodFrames_ /
                                              format.samplesPerSec)) {}
  ~PortAudioStream() override { Pa_CloseStream(stream_); }

  void Resume() override { Pa_StartStream(stream_); }
  void Suspend() override { Pa_AbortStream(stream_); }

  // Only the frames there are reach the stream: a period without any waits instead. The
  // sink's own silence fills an underrun, and a sink that takes frames faster than real
  // time (a file) holds exactly the frames played, with no silence between buffers.
  void Play(const std::uint8_t* data, std::size_t bytes) override {
    const auto frames = static_cast<unsigned long>(bytes / blockAlign_);
    if (frames == 0 ||
        (Pa_WriteStream(stream_, data, frames) != paNoError && Pa_IsStreamActive(stream_) != 1)) {
      std::this_thread::sleep_for(periodTime_);
    }
  }

  void Capture(std::uint8_t* data, std::size_t bytes) override {
    const PaError error = Pa_ReadStream(stream_, data, periodFrames_);
    if (error != paNoError && error != paInputOverflowed) {
      std::memset(data, silence_, bytes);
      if (Pa_IsStreamActive(stream_) != 1) std::this_thread::sleep_for(periodTime_);
    }
  }

 private:
  std::shared_ptr<PortAudioSession> session_;  // declared first: outlives the stream
  PaStream* stream_;
  unsigned long periodFrames_;
  std::size_t blockAlign_;
  std::uint8_t silence_;
  std::chrono::microseconds periodTime_;
};

unsigned OpenPortAudioStream(const std::shared_ptr<PortAudioSession>& session, int deviceIndex,
                             const riff::WaveFormat& format, bool output,
                             std::unique_ptr<WaveStream>& stream) {
  if (!session->Ready()) return kError;
  if (!Supported(deviceIndex, format, output)) return kBadFormat;
  const PaStreamParameters parameters = Parameters(deviceIndex, format, output);
  PaStream* handle = nullptr;
  const PaError error = Pa_OpenStream(&handle, output ? nullptr : &parameters,
                                      output ? &parameters : nullptr, format.samplesPerSec,
                                      BufferPump::PeriodFrames(format), paClipOff, nullptr,
                                      nullptr);
  if (error == paDeviceUnavailable) return kAllocated;
  if (error != paNoError) return kError;
  stream = std::make_unique<PortAudioStream>(session, handle, format);
  return kOk;
}

// The standard formats (11.025/22.05/44.1 kHz, mono/stereo, 8/16 bits) the device takes.
std::uint32_t StandardFormats(int deviceIndex, bool output) {
  std::uint32_t formats = 0;
  for (int rate : {11025, 22050, 44100}) {
    for (int channels : {1, 2}) {
      for (int bits : {8, 16}) {
        riff::WaveFormat format = riff::WaveFormat::Pcm16(channels, rate);
        format.bitsPerSample = static_cast<std::uint16_t>(bits);
        format.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
        format.avgBytesPerSec = static_cast<std::uint32_t>(rate) * format.blockAlign;
        if (Supported(deviceIndex, format, output)) formats |= StandardFormatBit(format);
      }
    }
  }
  return formats;
}

}  // namespace

PortAudioSession::PortAudioSession() {
  RouteAudioLibraryLogs();
  ready_ = Pa_Initialize() == paNoError;
}

PortAudioSession::~PortAudioSession() {
  if (ready_) Pa_Terminate();
}

unsigned PortAudioWaveOut::OpenStream(const riff::WaveFormat& format,
                                      std::unique_ptr<WaveStream>& stream) {
  return OpenPortAudioStream(session_, deviceIndex_, format, true, stream);
}

unsigned PortAudioWaveIn::OpenStream(const riff::WaveFormat& format,
                                     std::unique_ptr<WaveStream>& stream) {
  return OpenPortAudioStream(session_, deviceIndex_, format, false, stream);
}

WaveDeviceSet PortAudioDevices() {
  WaveDeviceSet devices;
  auto session = std::make_shared<PortAudioSession>();
  if (!session->Ready()) return devices;
  const PaHostApiIndex alsa = Pa_HostApiTypeIdToHostApiIndex(paALSA);
  const PaHostApiIndex jack = Pa_HostApiTypeIdToHostApiIndex(paJACK);
  const PaDeviceIndex count = Pa_GetDeviceCount();
  for (PaDeviceIndex index = 0; index < count; ++index) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr || (info->hostApi != alsa && info->hostApi != jack)) continue;
    const std::string hostApi = info->hostApi == alsa ? kAlsaHostApi : kJackHostApi;
    if (info->maxOutputChannels > 0) {
      WaveCaps caps{info->name, StandardFormats(index, true),
                    static_cast<std::uint16_t>(std::min(info->maxOutputChannels, 2)), hostApi};
      devices.outputs.push_back(std::make_unique<PortAudioWaveOut>(session, index, caps));
    }
    if (info->maxInputChannels > 0) {
      WaveCaps caps{info->name, StandardFormats(index, false),
                    static_cast<std::uint16_t>(std::min(info->maxInputChannels, 2)), hostApi};
      devices.inputs.push_back(std::make_unique<PortAudioWaveIn>(session, index, caps));
    }
  }
  return devices;
}

bool PortAudioOffersAlsa() {
  const PortAudioSession session;
  return session.Ready() && Pa_HostApiTypeIdToHostApiIndex(paALSA) >= 0;
}

}  // namespace vx::wave
