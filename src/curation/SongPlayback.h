// A dialog's song on the dialog's own media control device: the span of the song in device
// units (start, end) and the operations of the playback buttons. Positions are milliseconds
// (decimal replies and seeks) or, for CD tracks in the "msf" time format, CD frames from the
// start of the disc ("mm:ss:ff" replies and seeks). A failed command is reported through
// onError and the operation goes on with its next step, so playback trouble never stops the
// dialog.
#pragma once

#include <functional>
#include <string>

namespace vx {

class CMciDevice;

class SongPlayback {
 public:
  enum class Units { kMilliseconds, kCdFrames };

  SongPlayback(CMciDevice& device, int selector, Units units)
      : device_(device), selector_(selector), units_(units) {}

  CMciDevice& Device() const { return device_; }
  int Selector() const { return selector_; }
  Units PositionUnits() const { return units_; }
  long UnitsPerSecond() const { return units_ == Units::kMilliseconds ? 1000 : 75; }

  // The song's span; start <= end.
  long Start() const { return start_; }
  long End() const { return end_; }
  void SetSpan(long start, long end);

  // The device's position; false (reported) when it cannot be read.
  bool Position(long& position);
  // A position as the seek command takes it.
  std::string PositionText(long position) const;
  // The reply of the status item "mode"; empty when it cannot be read (reported).
  std::string Mode();

  void Play();
  void Stop();
  void SeekTo(long position);
  // Stop, seek, play: how every jump starts the song again.
  void PlayFrom(long position);

  // The transport buttons.
  void ToStart() { PlayFrom(start_); }
  void Back();
  void Forward();
  void ToEnd();
  void Door();

  std::function<void()> onError;  // the device's last error text says what failed

 private:
  // The current position, or the start when it cannot be read.
  long PositionOrStart();
  void Check(bool ok);

  CMciDevice& device_;
  int selector_;
  Units units_;
  long start_ = 0;
  long end_ = 0;
};

}  // namespace vx
