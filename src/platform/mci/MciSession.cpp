#include "platform/mci/MciSession.h"

#include <cctype>

#include "platform/cdrom/CdDriveInventory.h"
#include "platform/devices/DeviceConfig.h"
#include "platform/mci/CdAudioDriver.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveAudioDriver.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::mci {
namespace {

// The drive an element names ("D:" or "D"; empty: the first drive).
unsigned FindDrive(const std::string& element, std::optional<cdrom::CdDrive>& found) {
  std::vector<cdrom::CdDrive> drives = cdrom::ListCdDrives(DeviceConfig::Current());
  if (element.empty()) {
    if (drives.empty()) return kNoSuchDrive;
    found = drives.front();
    return kMciOk;
  }
  const bool letterForm = element.size() == 1 || (element.size() == 2 && element[1] == ':');
  if (!letterForm) return kNoSuchDrive;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(element[0])));
  for (cdrom::CdDrive& drive : drives) {
    if (drive.Letter() == letter) {
      found = std::move(drive);
      return kMciOk;
    }
  }
  return kNoSuchDrive;
}

}  // namespace

MciSession::~MciSession() {
  std::lock_guard lock(mutex_);
  devices_.clear();
}

MciSession& MciSession::System() {
  static MciSession session;
  return session;
}

MciSession::Device* MciSession::Find(MciDeviceId id) {
  const auto it = devices_.find(id);
  return it == devices_.end() ? nullptr : &it->second;
}

unsigned MciSession::Bind(MciDeviceId id, Bound& bound) {
  bound.device = Find(id);
  if (bound.device == nullptr) return kUnknownAlias;
  return bound.device->driver->GetTimeline(bound.timeline);
}

unsigned MciSession::TrackSpan(MciDeviceId id, int track, Bound& bound, long& start,
                               long& length) {
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  if (!bound.timeline.toc) return kUnsupportedItem;
  return bound.timeline.TrackSpan(track, start, length) ? kMciOk : kBadTrack;
}

unsigned MciSession::Open(const MciOpenParams& params, MciDeviceId& id) {
  std::lock_guard lock(mutex_);
  const std::string alias = !params.alias.empty()     ? params.alias
                            : !params.element.empty() ? params.element
                                                      : params.type;
  if (DeviceId(alias) != 0) return kAliasInUse;
  std::unique_ptr<MciDriver> driver;
  if (EqualsNoCase(params.type, kCdAudioType)) {
    std::optional<cdrom::CdDrive> drive;
    if (const unsigned rc = FindDrive(params.element, drive); rc != kMciOk) return rc;
    driver = std::make_unique<CdAudioDriver>(std::move(*drive));
  } else if (EqualsNoCase(params.type, kWaveAudioType)) {
    if (params.element.empty()) return kBadParameter;
    if (const unsigned rc = WaveAudioDriver::Open(params.element, driver); rc != kMciOk) {
      return rc;
    }
  } else {
    return kUnknownDeviceType;
  }
  id = nextId_++;
  const TimeFormat format =
      driver->UsesTimeFormat(TimeFormat::kMsf) ? TimeFormat::kMsf : TimeFormat::kMilliseconds;
  devices_.emplace(id, Device{id, alias, format, std::move(driver)});
  return kMciOk;
}

MciDeviceId MciSession::DeviceId(std::string_view alias) {
  std::lock_guard lock(mutex_);
  for (const auto& [id, device] : devices_) {
    if (EqualsNoCase(device.alias, alias)) return id;
  }
  return 0;
}

unsigned MciSession::Close(MciDeviceId id) {
  std::unique_ptr<MciDriver> closing;
  {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(id);
    if (it == devices_.end()) return kUnknownAlias;
    closing = std::move(it->second.driver);
    devices_.erase(it);
  }
  return kMciOk;  // the driver stops its player as it goes
}

unsigned MciSession::SetTimeFormat(MciDeviceId id, TimeFormat format) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  if (device == nullptr) return kUnknownAlias;
  if (!device->driver->UsesTimeFormat(format)) return kBadTimeFormat;
  device->format = format;
  return kMciOk;
}

unsigned MciSession::SetDoor(MciDeviceId id, bool closed) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->SetDoor(closed);
}

unsigned MciSession::SetOutput(MciDeviceId id, std::size_t output) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->SetOutput(output);
}

unsigned MciSession::PlayUnits(MciDeviceId id, std::optional<long> from, std::optional<long> to) {
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->Play(from, to);
}

unsigned MciSession::SeekUnits(MciDeviceId id, long position) {
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->Seek(position);
}

unsigned MciSession::Play(MciDeviceId id, std::optional<std::uint32_t> from,
                          std::optional<std::uint32_t> to) {
  std::lock_guard lock(mutex_);
  Bound bound;
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  std::optional<long> start, end;
  for (auto [packed, units] : {std::pair{&from, &start}, std::pair{&to, &end}}) {
    if (!*packed) continue;
    long position = 0;
    if (!UnpackPosition(bound.device->format, **packed, bound.timeline, position)) {
      return kBadPosition;
    }
    *units = position;
  }
  return PlayUnits(id, start, end);
}

unsigned MciSession::Seek(MciDeviceId id, std::uint32_t position) {
  std::lock_guard lock(mutex_);
  Bound bound;
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  long units = 0;
  if (!UnpackPosition(bound.device->format, position, bound.timeline, units)) return kBadPosition;
  return SeekUnits(id, units);
}

unsigned MciSession::Pause(MciDeviceId id) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->Pause();
}

unsigned MciSession::Stop(MciDeviceId id) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->Stop();
}

unsigned MciSession::StatusMode(MciDeviceId id, MciMode& mode) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  if (device == nullptr) return kUnknownAlias;
  mode = device->driver->Mode();
  return kMciOk;
}

unsigned MciSession::StatusNumberOfTracks(MciDeviceId id, int& tracks) {
  std::lock_guard lock(mutex_);
  Bound bound;
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  tracks = bound.timeline.toc ? bound.timeline.TrackCount() : 1;
  return kMciOk;
}

unsigned MciSession::StatusPosition(MciDeviceId id, std::uint32_t& position) {
  std::lock_guard lock(mutex_);
  Bound bound;
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  long units = 0;
  if (const unsigned rc = bound.device->driver->Position(units); rc != kMciOk) return rc;
  position = PackPosition(bound.device->format, units, bound.timeline);
  return kMciOk;
}

unsigned MciSession::StatusTrackPosition(MciDeviceId id, int track, std::uint32_t& position) {
  std::lock_guard lock(mutex_);
  Bound bound;
  long start = 0, length = 0;
  if (const unsigned rc = TrackSpan(id, track, bound, start, length); rc != kMciOk) return rc;
  position = PackPosition(bound.device->format, start, bound.timeline);
  return kMciOk;
}

unsigned MciSession::StatusTrackLength(MciDeviceId id, int track, std::uint32_t& length) {
  std::lock_guard lock(mutex_);
  Bound bound;
  long start = 0, units = 0;
  if (const unsigned rc = TrackSpan(id, track, bound, start, units); rc != kMciOk) return rc;
  length = PackLength(bound.device->format, units, bound.timeline);
  return kMciOk;
}

unsigned MciSession::StatusTrackIsAudio(MciDeviceId id, int track, bool& audio) {
  std::lock_guard lock(mutex_);
  Bound bound;
  long start = 0, length = 0;
  if (const unsigned rc = TrackSpan(id, track, bound, start, length); rc != kMciOk) return rc;
  audio = bound.timeline.TrackIsAudio(track);
  return kMciOk;
}

unsigned MciSession::InfoIdentity(MciDeviceId id, std::string& identity) {
  std::lock_guard lock(mutex_);
  Device* device = Find(id);
  return device == nullptr ? kUnknownAlias : device->driver->Identity(identity);
}

unsigned MciSession::SysInfoQuantity(std::string_view type, unsigned& count) {
  const DeviceConfig config = DeviceConfig::Current();
  if (EqualsNoCase(type, kWaveAudioType)) {
    count = static_cast<unsigned>(wave::WaveDeviceList::System().InputCount());
  } else if (EqualsNoCase(type, kCdAudioType)) {
    count = static_cast<unsigned>(cdrom::ListCdDrives(config).size());
  } else {
    return kUnknownDeviceType;
  }
  return kMciOk;
}

}  // namespace vx::mci
