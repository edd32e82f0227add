#include "curation/tempo/TempoTracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>

namespace vx {
namespace {

constexpr unsigned kWindow = 1024;
// Beats further from the fitted grid than this share of a beat are misplaced.
constexpr double kSteadyShare = 0.15;
constexpr std::size_t kFewestBeats = 8;

struct FvecDeleter {
  void operator()(fvec_t* vector) const { del_fvec(vector); }
};
using Fvec = std::unique_ptr<fvec_t, FvecDeleter>;

}  // namespace

struct TempoTracker::Aubio {
  explicit Aubio(unsigned rate)
      : tempo(new_aubio_tempo("default", kWindow, kHop, rate)), input(new_fvec(kHop)),
        output(new_fvec(2)) {}
  ~Aubio() {
    if (tempo != nullptr) del_aubio_tempo(tempo);
  }
  Aubio(const Aubio&) = delete;
  Aubio& operator=(const Aubio&) = delete;

  aubio_tempo_t* tempo;
  Fvec input;
  Fvec output;
};

TempoTracker::TempoTracker(unsigned rate) : aubio_(std::make_unique<Aubio>(rate)) {}

TempoTracker::~TempoTracker() = default;

void TempoTracker::Feed(const float* samples, std::size_t count) {
  assert(count <= kHop);
  if (aubio_->tempo == nullptr) return;
  fvec_t* input = aubio_->input.get();
  for (std::size_t i = 0; i < kHop; ++i) input->data[i] = i < count ? samples[i] : 0.0f;
  aubio_tempo_do(aubio_->tempo, input, aubio_->output.get());
  if (aubio_->output->data[0] != 0) beats_.push_back(aubio_tempo_get_last_s(aubio_->tempo));
}

std::optional<double> TempoTracker::Tempo() const {
  if (beats_.size() < kFewestBeats) return std::nullopt;
  std::vector<double> gaps;
  for (std::size_t i = 1; i < beats_.size(); ++i) gaps.push_back(beats_[i] - beats_[i - 1]);
  std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
  const double common = gaps[gaps.size() / 2];
  if (common <= 0) return std::nullopt;

  // Numbers the beats on the common grid: a missed beat skips a number, a beat that comes
  // too early for the next number (an off-beat, a fill) is left out.
  std::vector<double> number;
  std::vector<double> time;
  double last = beats_.front();
  double index = 0;
  number.push_back(0);
  time.push_back(last);
  for (std::size_t i = 1; i < beats_.size(); ++i) {
    const double steps = std::round((beats_[i] - last) / common);
    if (steps < 1) continue;
    index += steps;
    last = beats_[i];
    number.push_back(index);
    time.push_back(last);
  }
  // The beat period is the slope of time over beat number; beats far off the first line are
  // dropped and the line drawn again, so a few misplaced beats do not tilt it.
  std::vector<bool> used(time.size(), true);
  double slope = common;
  for (int pass = 0; pass < 2; ++pass) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < time.size(); ++i) {
      if (!used[i]) continue;
      n += 1;
      sx += number[i];
      sy += time[i];
      sxx += number[i] * number[i];
      sxy += number[i] * time[i];
    }
    const double spread = n * sxx - sx * sx;
    if (n < kFewestBeats || spread <= 0) return std::nullopt;
    slope = (n * sxy - sx * sy) / spread;
    const double offset = (sy - slope * sx) / n;
    for (std::size_t i = 0; i < time.size(); ++i) {
      used[i] = std::fabs(time[i] - (offset + slope * number[i])) < kSteadyShare * slope;
    }
  }
  if (slope <= 0) return std::nullopt;
  return 60.0 / slope;
}

std::optional<double> TempoOfSamples(const std::int16_t* frames, std::size_t frameCount,
                                     int channels, unsigned rate) {
  TempoTracker tracker(rate);
  float hop[TempoTracker::kHop];
  for (std::size_t start = 0; start < frameCount; start += TempoTracker::kHop) {
    const std::size_t count = std::min<std::size_t>(TempoTracker::kHop, frameCount - start);
    for (std::size_t i = 0; i < count; ++i) {
      float sum = 0;
      for (int c = 0; c < channels; ++c) sum += frames[(start + i) * channels + c];
      hop[i] = sum / (32768.0f * static_cast<float>(channels));
    }
    tracker.Feed(hop, count);
  }
  return tracker.Tempo();
}

std::optional<double> TempoOfFile(const std::string& path,
                                  const std::function<bool(double share)>& progress) {
  aubio_source_t* source = new_aubio_source(path.c_str(), 0, TempoTracker::kHop);
  if (source == nullptr) return std::nullopt;
  struct Closer {
    aubio_source_t* source;
    ~Closer() { del_aubio_source(source); }
  } closer{source};

  const unsigned rate = aubio_source_get_samplerate(source);
  const double frames = aubio_source_get_duration(source);
  TempoTracker tracker(rate);
  const Fvec hop(new_fvec(TempoTracker::kHop));
  double done = 0;
  const double report = rate;  // about once a second of audio
  double nextReport = 0;
  for (;;) {
    uint_t read = 0;
    aubio_source_do(source, hop.get(), &read);
    tracker.Feed(hop->data, read);
    done += read;
    if (done >= nextReport) {
      nextReport = done + report;
      if (!progress(frames > 0 ? std::min(1.0, done / frames) : 0.0)) return std::nullopt;
    }
    if (read < TempoTracker::kHop) break;
  }
  return tracker.Tempo();
}

}  // namespace vx
