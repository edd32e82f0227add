// Recording figures: the "Record New Song" dialog capturing 44.1 kHz 16-bit stereo from the
// virtual input (a 440 Hz tone) into a take, for VX_BENCH_RECORD_MINUTES (default 10)
// minutes of audio at VX_BENCH_RECORD_SPEED (default 10) times real time:
//  - input buffers lost (overruns of the device, and bytes missing from the take) (goal: 0);
//  - CPU of the recording path (the dialog's thread: appending, metering, re-queuing) per
//    second of audio, as a share of one core at real time (goal: <= 1 %); the virtual
//    device's own thread is shown apart, since a sound card does that work itself.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "LiveBenchKit.h"
#include "platform/devices/DeviceConfig.h"
#include "platform/wave/virtual/DeviceClock.h"
#include "platform/wave/WaveDeviceList.h"
#include "recording/CRecordNewSongDlg.h"
#include "support/TestFolder.h"

namespace {

using vx::bench::EnvNumber;

constexpr double kCpuGoalPercent = 1.0;
constexpr std::uint64_t kBytesPerSecond = 176400;

double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int MeasureCapture(double minutes, double speed) {
  vx::DeviceConfig config;
  config.virtualOnly = true;
  config.waveInput = "tone:440";
  config.speed = speed;
  const std::unique_ptr<vx::wave::WaveDeviceList> devices =
      vx::wave::WaveDeviceList::Build(config, {});

  vx::CRecordNewSongDlg::Setup setup;
  setup.takePath = vx::test::TestFolder() + "/VXR0001.tmp";
  setup.devices = devices.get();
  int deviceErrors = 0;
  setup.statusLine = [&](const QString& text) {
    ++deviceErrors;
    std::fprintf(stderr, "status: %s\n", text.toUtf8().constData());
  };
  vx::CRecordNewSongDlg dialog(setup);

  const auto target = static_cast<std::uint64_t>(minutes * 60 * kBytesPerSecond);
  QEventLoop loop;
  QTimer poll;
  // The longest time the dialog's thread went without running its event loop: a stall longer
  // than the ten buffers last (1 s of audio, 1 s / speed of real time) loses sound.
  std::int64_t lastTick = vx::wave::DeviceClock::NowNs();
  std::int64_t longestStallNs = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const std::int64_t now = vx::wave::DeviceClock::NowNs();
    longestStallNs = std::max(longestStallNs, now - lastTick);
    lastTick = now;
    if (dialog.BytesWritten() >= target || !dialog.DeviceOpen()) loop.quit();
  });
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

  const double threadStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const double processStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const std::int64_t start = vx::wave::DeviceClock::NowNs();
  dialog.OnRecord();
  poll.start(10);
  limit.start(static_cast<int>(2 * minutes * 60 * 1000 / speed) + 30000);
  loop.exec();
  std::uint64_t frames = 0;
  devices->Input(0)->Position(frames);
  const std::uint64_t overruns = devices->Input(0)->Overruns();
  dialog.OnDone();
  const double realSeconds = static_cast<double>(vx::wave::DeviceClock::NowNs() - start) / 1e9;
  const double threadCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart;
  const double processCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;

  const std::uint64_t written = dialog.BytesWritten();
  const double audioSeconds = static_cast<double>(written) / kBytesPerSecond;
  // Every byte the device captured is in the take: at most the last partial buffer differs.
  const std::uint64_t captured = frames * 4;
  const std::uint64_t missing = captured > written ? captured - written : 0;
  const double pathPercent = threadCpu / audioSeconds * 100;
  const double devicePercent = (processCpu - threadCpu) / audioSeconds * 100;
  std::printf("Capture of %.2f min of 44.1 kHz stereo at speed %g (%.1f s real), take %s:\n",
              audioSeconds / 60, speed, realSeconds,
              dialog.TakeResult() == vx::CRecordNewSongDlg::Take::Complete ? "complete"
                                                                           : "NOT complete");
  std::printf("  lost input buffers: %llu overruns, %llu bytes captured but not in the take "
              "(goal 0: %s)\n",
              static_cast<unsigned long long>(overruns), static_cast<unsigned long long>(missing),
              overruns == 0 && missing == 0 ? "met" : "MISSED");
  std::printf("  longest stall of the dialog thread: %.0f ms real (the buffers last %.0f ms)\n",
              static_cast<double>(longestStallNs) / 1e6, 1000 / speed);
  std::printf("  recording path (dialog thread): %.3f s CPU = %.4f %% of one core per second "
              "of audio (goal <= %.0f %%: %s)\n",
              threadCpu, pathPercent, kCpuGoalPercent,
              pathPercent <= kCpuGoalPercent ? "met" : "MISSED");
  std::printf("  virtual input device thread: %.3f s CPU = %.4f %% per second of audio\n",
              processCpu - threadCpu, devicePercent);
  std::error_code ignored;
  std::filesystem::remove(setup.takePath, ignored);
  return deviceErrors == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = EnvNumber("VX_BENCH_RECORD_MINUTES", 10);
  const double speed = EnvNumber("VX_BENCH_RECORD_SPEED", 10);
  return vx::bench::RunInPrivateFolder(argc, argv, "bench_recording",
                                       [&] { return MeasureCapture(minutes, speed); });
}
