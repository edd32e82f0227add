// The tempo of a piece of music from its sound: aubio's beat tracker marks the beats, and the
// tempo is read from the spacing of the beats that keep the common spacing, so a few missed
// or doubled beats (a break, a fill) do not pull the figure.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class TempoTracker {
 public:
  // The samples fed are mono at this rate.
  explicit TempoTracker(unsigned rate);
  ~TempoTracker();
  TempoTracker(const TempoTracker&) = delete;
  TempoTracker& operator=(const TempoTracker&) = delete;

  // How many samples Feed takes at a time.
  static constexpr unsigned kHop = 256;

  // One hop of samples (count <= kHop; a short last piece is padded with silence).
  void Feed(const float* samples, std::size_t count);

  // Beats per minute; nothing before enough steady beats were heard.
  std::optional<double> Tempo() const;

 private:
  struct Aubio;
  std::unique_ptr<Aubio> aubio_;
  std::vector<double> beats_;  // seconds
};

// Feeds every sample of interleaved 16-bit audio (mixed to mono) to a tracker and answers its
// tempo.
std::optional<double> TempoOfSamples(const std::int16_t* frames, std::size_t frameCount,
                                     int channels, unsigned rate);

// Reads whatever audio file aubio can decode (PCM or compressed WAVE files, MP3) and answers
// its tempo. progress is called now and then with the share done (0..1) and answers false to
// stop; a stopped, unreadable or beatless file answers nothing.
std::optional<double> TempoOfFile(const std::string& path,
                                  const std::function<bool(double share)>& progress);

}  // namespace vx
