#include "platform/cdrom/CdDrive.h"

#include <cdio/cdio.h>
#include <cdio/mmc.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace vx::cdrom {

CdDrive::CdDrive(char letter, std::string path, bool isVirtual)
    : letter_(letter), path_(std::move(path)), virtual_(isVirtual) {}

std::string CdDrive::OpenMarker() const { return path_ + "/open"; }

std::string CdDrive::TrayImage() const {
  std::error_code error;
  std::string first;
  for (fs::directory_iterator it(path_, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!IsCueImagePath(name) || !it->is_regular_file(error)) continue;
    if (first.empty() || name < fs::path(first).filename().string()) first = it->path().string();
  }
  return first;
}

TrayState CdDrive::State() const {
  if (virtual_) {
    std::error_code error;
    if (!fs::is_directory(path_, error)) return TrayState::NotReady;
    if (fs::exists(OpenMarker(), error) || TrayImage().empty()) return TrayState::Open;
    return TrayState::Loaded;
  }
  CdIo_t* cdio = cdio_open(path_.c_str(), DRIVER_DEVICE);
  if (cdio == nullptr) return TrayState::NotReady;
  TrayState state = TrayState::Loaded;
  if (mmc_get_tray_status(cdio) == 1 || cdio_get_num_tracks(cdio) == CDIO_INVALID_TRACK) {
    state = TrayState::Open;
  }
  cdio_destroy(cdio);
  return state;
}

bool CdDrive::OpenDoor() const {
  if (!virtual_) return cdio_eject_media_drive(path_.c_str()) == DRIVER_OP_SUCCESS;
  std::error_code error;
  if (!fs::is_directory(path_, error)) return false;
  std::ofstream marker(OpenMarker(), std::ios::app);
  return marker.good();
}

bool CdDrive::CloseDoor() const {
  if (!virtual_) return cdio_close_tray(path_.c_str(), nullptr) == DRIVER_OP_SUCCESS;
  std::error_code error;
  if (!fs::is_directory(path_, error)) return false;
  fs::remove(OpenMarker(), error);
  return !error;
}

std::unique_ptr<CdDisc> CdDrive::OpenDisc() const {
  if (!virtual_) return CdDisc::Open(path_);
  if (State() != TrayState::Loaded) return nullptr;
  return CdDisc::Open(TrayImage());
}

}  // namespace vx::cdrom
