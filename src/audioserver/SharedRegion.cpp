#include "audioserver/SharedRegion.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

namespace vx::audioserver {
namespace {

constexpr std::size_t kPage = 4096;

std::size_t RoundUpToPage(std::size_t size) { return (size + kPage - 1) / kPage * kPage; }

}  // namespace

bool OwnedRegion::Create(const char* name, std::size_t size) {
  Release();
  UniqueFd fd(memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING));
  if (!fd.IsValid()) return false;
  if (fcntl(fd.Get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL) != 0) return false;
  fd_ = std::move(fd);
  if (!Reserve(size == 0 ? kPage : size)) {
    Release();
    return false;
  }
  return true;
}

bool OwnedRegion::Reserve(std::size_t size) {
  if (!fd_.IsValid()) return false;
  if (size <= size_) return true;
  const std::size_t newSize = RoundUpToPage(size);
  if (ftruncate(fd_.Get(), static_cast<off_t>(newSize)) != 0) return false;
  void* mapping = mmap(nullptr, newSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd_.Get(), 0);
  if (mapping == MAP_FAILED) return false;
  if (data_ != nullptr) munmap(data_, size_);
  data_ = static_cast<std::uint8_t*>(mapping);
  size_ = newSize;
  return true;
}

void OwnedRegion::Release() {
  if (data_ != nullptr) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
  fd_.Reset();
}

UniqueFd OwnedRegion::ReadOnlyDescriptor() const {
  if (!fd_.IsValid()) return UniqueFd();
  // Reopening through /proc gives a descriptor of the same file with read access only.
  const std::string path = "/proc/self/fd/" + std::to_string(fd_.Get());
  return UniqueFd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

bool PeerRegion::Adopt(UniqueFd fd) {
  Release();
  if (!fd.IsValid()) return false;
  const int seals = fcntl(fd.Get(), F_GET_SEALS);
  if (seals < 0 || (seals & F_SEAL_SHRINK) == 0) return false;
  fd_ = std::move(fd);
  if (!MapCurrentSize()) {
    Release();
    return false;
  }
  return true;
}

void PeerRegion::Release() {
  if (data_ != nullptr) munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = nullptr;
  size_ = 0;
  fd_.Reset();
}

bool PeerRegion::MapCurrentSize() {
  struct stat info {};
  if (fstat(fd_.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  if (fileSize > kMaxSize) return false;
  const auto newSize = static_cast<std::size_t>(fileSize);
  if (newSize <= size_) return true;
  void* mapping = mmap(nullptr, newSize, PROT_READ, MAP_SHARED, fd_.Get(), 0);
  if (mapping == MAP_FAILED) return false;
  if (data_ != nullptr) munmap(const_cast<std::uint8_t*>(data_), size_);
  data_ = static_cast<const std::uint8_t*>(mapping);
  size_ = newSize;
  return true;
}

bool PeerRegion::Contains(std::uint64_t offset, std::uint64_t length) const {
  return data_ != nullptr && offset <= size_ && length <= size_ - offset;
}

const std::uint8_t* PeerRegion::View(std::uint64_t offset, std::uint64_t length) {
  if (!fd_.IsValid()) return nullptr;
  if (!Contains(offset, length) && !(MapCurrentSize() && Contains(offset, length))) {
    return nullptr;
  }
  return data_ + offset;
}

bool PeerRegion::Read(std::uint64_t offset, std::uint64_t length, void* out) {
  const std::uint8_t* bytes = View(offset, length);
  if (bytes == nullptr) return false;
  if (length > 0) std::memcpy(out, bytes, static_cast<std::size_t>(length));
  return true;
}

}  // namespace vx::audioserver
