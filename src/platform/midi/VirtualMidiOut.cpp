#include "platform/midi/VirtualMidiOut.h"

#include <mutex>
#include <set>

namespace vx::midi {
namespace {

// Whether this process has opened the log before (and so must append, not rewrite).
bool OpenedBefore(const std::string& logPath) {
  static std::mutex mutex;
  static std::set<std::string> opened;
  std::lock_guard lock(mutex);
  return !opened.insert(logPath).second;
}

}  // namespace

std::unique_ptr<VirtualMidiOut> VirtualMidiOut::Open(const std::string& logPath, double speed,
                                                     unsigned& result) {
  std::unique_ptr<VirtualMidiOut> device(new VirtualMidiOut(speed));
  device->log_ = std::fopen(logPath.c_str(), OpenedBefore(logPath) ? "a" : "w");
  if (device->log_ == nullptr) {
    result = kError;
    return nullptr;
  }
  result = kOk;
  return device;
}

VirtualMidiOut::VirtualMidiOut(double speed)
    : speed_(speed), opened_(std::chrono::steady_clock::now()) {}

VirtualMidiOut::~VirtualMidiOut() { Close(); }

long long VirtualMidiOut::DeviceMilliseconds() const {
  const std::chrono::duration<double, std::milli> real =
      std::chrono::steady_clock::now() - opened_;
  return static_cast<long long>(real.count() * speed_);
}

unsigned VirtualMidiOut::Send(const std::uint8_t*, std::size_t, std::uint32_t message) {
  const int written = std::fprintf(log_, "%lld %08X\n", DeviceMilliseconds(), message);
  return written > 0 && std::fflush(log_) == 0 ? kOk : kError;
}

void VirtualMidiOut::VolumeChanged(std::uint32_t volume) {
  std::fprintf(log_, "%lld volume %08X\n", DeviceMilliseconds(), volume);
  std::fflush(log_);
}

void VirtualMidiOut::Release() {
  if (log_ != nullptr) std::fclose(log_);
  log_ = nullptr;
}

}  // namespace vx::midi
