#include "cd/CMciDevice.h"

#include <QString>

#include <cstdarg>
#include <cstdio>

#include "cd/MciText.h"
#include "platform/cdrom/CdDriveInventory.h"
#include "platform/devices/DeviceConfig.h"
#include "platform/mci/MciErrors.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

// printf-style formatting into a string.
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

// The alias a device selector stands for.
const char* Alias(int selector) {
  return selector == CMciDevice::kCd ? text::kCdAlias : text::kWaveAlias;
}

}  // namespace

CMciDevice::Platform CMciDevice::Platform::System() {
  const DeviceConfig config = DeviceConfig::Current();
  auto midiDevices = std::make_shared<midi::MidiOutDevices>(config);
  Platform platform;
  platform.session = &mci::MciSession::System();
  platform.cdDriveLetters = [config] {
    return cdrom::DriveLetters(cdrom::ListCdDrives(config));
  };
  platform.midiOutCount = [midiDevices] { return static_cast<unsigned>(midiDevices->Count()); };
  platform.midiOutCaps = [midiDevices](unsigned device, midi::MidiOutCaps& caps) {
    return midiDevices->Caps(device, caps);
  };
  platform.openMidiOut = [midiDevices](unsigned device, std::unique_ptr<midi::MidiOut>& out) {
    return midiDevices->Open(device, out);
  };
  return platform;
}

CMciDevice::CMciDevice() : CMciDevice(Platform::System()) {}

CMciDevice::CMciDevice(Platform platform) : platform_(std::move(platform)) {}

CMciDevice::~CMciDevice() = default;

bool CMciDevice::Send(const std::string& command, std::string* reply) {
  std::string answer;
  const unsigned rc = platform_.session->SendString(command, answer);
  if (rc == 0) {
    if (reply != nullptr) *reply = answer.substr(0, kReplySize - 1);
    return true;
  }
  lastErrorCode_ = rc;
  std::string errorText;
  if (mci::MciErrorText(rc, errorText)) {
    lastErrorText_ = Format(text::kMciErrorText, errorText.substr(0, 128).c_str(), command.c_str());
  } else {
    lastErrorText_ = Format(text::kMciErrorCode, rc, command.c_str());
  }
  return false;
}

bool CMciDevice::OpenCd(char driveLetter) {
  return Send(Format(text::kOpenCdCommand, driveLetter, text::kCdDeviceType, text::kCdAlias),
              nullptr);
}

bool CMciDevice::OpenWaveFile(const std::string& path) {
  return Send(Format(text::kOpenWaveCommand, text::kWaveDeviceType, path.c_str(), text::kWaveAlias),
              nullptr);
}

bool CMciDevice::CloseDevice(int selector) {
  return Send(Format(text::kCloseCommand, Alias(selector)), nullptr);
}

bool CMciDevice::SetDoor(bool closed) {
  return Send(Format(closed ? text::kDoorClosedCommand : text::kDoorOpenCommand, text::kCdAlias),
              nullptr);
}

bool CMciDevice::PlayDevice(int selector) {
  return Send(Format(text::kPlayCommand, Alias(selector)), nullptr);
}

bool CMciDevice::StopDevice(int selector) {
  return Send(Format(text::kStopCommand, Alias(selector)), nullptr);
}

bool CMciDevice::SeekDevice(const std::string& position, int selector) {
  return Send(Format(text::kSeekCommand, Alias(selector), position.c_str()), nullptr);
}

bool CMciDevice::SetTimeFormat(const std::string& format, int selector) {
  return Send(Format(text::kTimeFormatCommand, Alias(selector), format.c_str()), nullptr);
}

bool CMciDevice::GetPosition(std::string& reply, int selector) {
  return Send(Format(text::kPositionCommand, Alias(selector)), &reply);
}

bool CMciDevice::GetLength(std::string& reply, int selector, int track) {
  const std::string item = track >= 0 ? Format(text::kLengthTrackItem, track) : text::kLengthItem;
  return QueryStatus(item, reply, selector);
}

bool CMciDevice::GetIdentity(std::string& reply) {
  return Send(Format(text::kIdentityCommand, text::kCdAlias), &reply);
}

bool CMciDevice::QueryStatus(const std::string& item, std::string& reply, int selector) {
  return Send(Format(text::kStatusCommand, Alias(selector), item.c_str()), &reply);
}

mci::MciDeviceId CMciDevice::GetCdDeviceId() const {
  return platform_.session->DeviceId(text::kCdAlias);
}

void CMciDevice::ShowLastError() const {
  Ui().Message(QString::fromStdString(lastErrorText_), MsgIcon::Exclamation);
}

void CMciDevice::TakeInventory() {
  unsigned count = 0;
  if (platform_.session->SysInfoQuantity(text::kWaveDeviceType, count) == 0) {
    waveDeviceCount_ = count;
  }
  ListCdDrives();

  midiOutputs_.clear();
  midiTechnologies_.clear();
  const unsigned devices = platform_.midiOutCount ? platform_.midiOutCount() : 0;
  for (unsigned device = 0; device < devices; ++device) {
    midi::MidiOutCaps caps;
    if (!platform_.midiOutCaps(device, caps)) {
      midiTechnologies_.push_back(-1);
      continue;
    }
    midiTechnologies_.push_back(caps.technology);
    midiOutputs_.push_back(
        Format(text::kMidiLine, device, MidiTechnologyName(caps.technology), caps.name.c_str()));
  }
  midiOutputCount_ = static_cast<unsigned>(midiOutputs_.size());
}

void CMciDevice::ListCdDrives() {
  cdDriveLetters_ = platform_.cdDriveLetters ? platform_.cdDriveLetters() : std::string();
  cdDriveCount_ = static_cast<unsigned>(cdDriveLetters_.size());
}

const char* CMciDevice::MidiTechnologyName(int technology) {
  switch (technology) {
    case midi::kMidiPort: return text::kTechHardwarePort;
    case midi::kSynthesizer: return text::kTechSynthesizer;
    case midi::kSquareWaveSynth: return text::kTechSquareWave;
    case midi::kFmSynth: return text::kTechFm;
    default: return text::kTechUnknown;
  }
}

bool CMciDevice::OpenMidiOut(unsigned device) {
  std::unique_ptr<midi::MidiOut> out;
  const unsigned rc = platform_.openMidiOut ? platform_.openMidiOut(device, out)
                                            : static_cast<unsigned>(midi::kBadDeviceId);
  if (rc != midi::kOk || !out) {
    lastErrorText_ = Format(text::kMidiOpenError, device, rc);
    return false;
  }
  if (midiOut_) midiOut_->Close();
  midiOut_ = std::move(out);
  return true;
}

bool CMciDevice::CloseMidiOut() {
  const unsigned rc = midiOut_ ? midiOut_->Close() : static_cast<unsigned>(midi::kInvalidHandle);
  if (rc != midi::kOk) {
    lastErrorText_ = Format(text::kMidiCloseError, rc);
    return false;
  }
  midiOut_.reset();
  return true;
}

}  // namespace vx
