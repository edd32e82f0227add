// Sound card devices through PortAudio's ALSA host API (and its JACK host API when a JACK
// server runs). Each open device has a blocking PortAudio stream that the device thread
// writes (output) or reads (input) one period at a time, so the card itself paces the
// buffers. Pause, Stop and Reset abort the stream; running again starts it. Positions count
// the frames handed to or taken from the card.
#pragma once

#include <memory>

#include "platform/wave/StreamWaveIn.h"
#include "platform/wave/StreamWaveOut.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::wave {

// Keeps PortAudio initialised while any holder lives (the device list and open streams).
class PortAudioSession {
 public:
  PortAudioSession();
  ~PortAudioSession();
  PortAudioSession(const PortAudioSession&) = delete;
  PortAudioSession& operator=(const PortAudioSession&) = delete;
  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
};

class PortAudioWaveOut : public StreamWaveOut {
 public:
  PortAudioWaveOut(std::shared_ptr<PortAudioSession> session, int deviceIndex, WaveCaps caps)
      : session_(std::move(session)), deviceIndex_(deviceIndex), caps_(std::move(caps)) {}
  WaveCaps Caps() const override { return caps_; }

 protected:
  unsigned OpenStream(const riff::WaveFormat& format,
                      std::unique_ptr<WaveStream>& stream) override;

 private:
  std::shared_ptr<PortAudioSession> session_;
  int deviceIndex_;
  WaveCaps caps_;
};

class PortAudioWaveIn : public StreamWaveIn {
 public:
  PortAudioWaveIn(std::shared_ptr<PortAudioSession> session, int deviceIndex, WaveCaps caps)
      : session_(std::move(session)), deviceIndex_(deviceIndex), caps_(std::move(caps)) {}
  WaveCaps Caps() const override { return caps_; }

 protected:
  unsigned OpenStream(const riff::WaveFormat& format,
                      std::unique_ptr<WaveStream>& stream) override;

 private:
  std::shared_ptr<PortAudioSession> session_;
  int deviceIndex_;
  WaveCaps caps_;
};

// Every ALSA and JACK device PortAudio finds, outputs and inputs with their names, host
// APIs and the standard formats each supports, in PortAudio's order; empty when PortAudio
// cannot start. Which of them the programs use is DeviceOrder's choice.
WaveDeviceSet PortAudioDevices();

// PortAudio starts and offers an ALSA host API (which it does even without any card).
bool PortAudioOffersAlsa();

}  // namespace vx::wave
