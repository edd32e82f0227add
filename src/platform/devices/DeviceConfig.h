// The virtual-device configuration of a run, read from VELUMIX_DEVICES and VELUMIX_SPEED,
// or from the settings group "Devices" when VELUMIX_DEVICES is not set.
//
//   VELUMIX_DEVICES="out=/tmp/a.wav,/tmp/b.wav;in=/path/take.wav;midi=/tmp/midi.log;cd=/tmp/tray1"
//   VELUMIX_SPEED=10
//
// Clauses are separated by ';', each is key=value; list values are separated by ','. Spaces
// around clauses, keys and values are ignored; empty list items and unknown keys are skipped;
// a key given twice adds to its list (out=, cd=) or replaces the earlier value (in=, midi=).
// When VELUMIX_DEVICES is set at all (even empty), the devices it names are the only ones
// that exist: no real backend is enumerated. VELUMIX_SPEED must be a positive finite number;
// anything else (missing, text, 0, negative) means 1.
//
// The settings group "Devices" takes the same keys (out, in, midi, cd) with the same values;
// the devices it names are listed after the real ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

struct DeviceConfig {
  // True when VELUMIX_DEVICES was set: only the virtual devices below exist.
  bool virtualOnly = false;
  // out=: one virtual wave output per tape file ("Virtual Output 1", "Virtual Output 2", ...).
  std::vector<std::string> waveOutputs;
  // in=: the WAVE file the virtual wave input plays, or "tone:<Hz>"; empty = none.
  std::string waveInput;
  // midi=: the log file of the virtual MIDI output; empty = none.
  std::string midiLog;
  // cd=: one virtual CD drive per tray folder, in drive-letter order.
  std::vector<std::string> cdTrays;
  // How many times faster than real time every virtual clock runs.
  double speed = 1.0;

  // The frequency of a "tone:<Hz>" input; nothing when the input is a file, absent or the
  // frequency is not a positive number.
  std::optional<double> WaveInputTone() const;

  // Parses the two variables' values; nullptr stands for an unset variable.
  static DeviceConfig Parse(const char* devices, const char* speed);
  // Parse() of the process environment.
  static DeviceConfig FromEnvironment();
  // The configuration of this run: FromEnvironment() when VELUMIX_DEVICES is set, else the
  // settings group "Devices" (with VELUMIX_SPEED).
  static DeviceConfig Current();
};

// VELUMIX_SPEED's value as a factor: 1 when it is missing or not a positive finite number.
double ParseSpeedFactor(const char* text);

}  // namespace vx
