// The shared memory of the protocol. Each side owns one region, a memfd sealed against
// shrinking, and hands the other side a read-only descriptor of it; "addresses" are byte
// offsets into the owner's region. The reading side maps the region read-only and checks
// every offset and length against the region's size before touching a byte, so nothing
// the other process sends can make it read outside the mapping. The seal means a mapping
// once checked stays backed by the file (no SIGBUS from a region cut short).
#pragma once

#include <cstddef>
#include <cstdint>

#include "audioserver/UniqueFd.h"

namespace vx::audioserver {

// A region this process owns and writes; it grows on demand, never shrinks.
class OwnedRegion {
 public:
  OwnedRegion() = default;
  ~OwnedRegion() { Release(); }
  OwnedRegion(const OwnedRegion&) = delete;
  OwnedRegion& operator=(const OwnedRegion&) = delete;

  // Makes the region with at least size bytes. False when the memfd cannot be made.
  bool Create(const char* name, std::size_t size);
  // Grows the region to at least size bytes (the mapping may move).
  bool Reserve(std::size_t size);
  void Release();

  bool IsCreated() const { return fd_.IsValid(); }
  std::uint8_t* Data() { return data_; }
  std::size_t Size() const { return size_; }
  // A new descriptor of the region that only allows reading, for the other process.
  UniqueFd ReadOnlyDescriptor() const;

 private:
  UniqueFd fd_;
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// The other process's region, mapped read-only here.
class PeerRegion {
 public:
  // The largest region this side is willing to map.
  static constexpr std::size_t kMaxSize = std::size_t{1} << 30;

  PeerRegion() = default;
  ~PeerRegion() { Release(); }
  PeerRegion(const PeerRegion&) = delete;
  PeerRegion& operator=(const PeerRegion&) = delete;

  // Takes a descriptor that came from the other process. False, and nothing kept, unless it
  // is a memfd sealed against shrinking.
  bool Adopt(UniqueFd fd);
  void Release();
  bool IsAdopted() const { return fd_.IsValid(); }

  // The length bytes at offset, or null when they do not lie wholly inside the region
  // (length 0 included: its offset must still be inside). The region may have grown since
  // the last look; it is then mapped afresh. Valid until the next call.
  const std::uint8_t* View(std::uint64_t offset, std::uint64_t length);
  // Copies the length bytes at offset into out; false when they lie outside the region.
  bool Read(std::uint64_t offset, std::uint64_t length, void* out);

 private:
  bool Contains(std::uint64_t offset, std::uint64_t length) const;
  bool MapCurrentSize();

  UniqueFd fd_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace vx::audioserver
