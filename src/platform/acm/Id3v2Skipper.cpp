#include "platform/acm/Id3v2Skipper.h"

#include <algorithm>

namespace vx::acm {

// "ID3", version and revision below 0xFF, flags, then four size bytes of 7 bits each.
bool Id3v2Skipper::StillLooksLikeTag() const {
  static constexpr std::uint8_t kMagic[3] = {'I', 'D', '3'};
  for (std::size_t i = 0; i < headerBytes_; ++i) {
    if (i < 3 && header_[i] != kMagic[i]) return false;
    if ((i == 3 || i == 4) && header_[i] == 0xFF) return false;
    if (i >= 6 && (header_[i] & 0x80) != 0) return false;
  }
  return true;
}

void Id3v2Skipper::PassOnHeader(std::vector<std::uint8_t>& passOn) {
  passOn.insert(passOn.end(), header_.begin(), header_.begin() + headerBytes_);
  headerBytes_ = 0;
  state_ = State::kDone;
}

std::size_t Id3v2Skipper::Take(std::span<const std::uint8_t> input,
                               std::vector<std::uint8_t>& passOn) {
  std::size_t taken = 0;
  while (taken < input.size() && state_ == State::kHeader) {
    header_[headerBytes_++] = input[taken++];
    if (!StillLooksLikeTag()) {
      PassOnHeader(passOn);
    } else if (headerBytes_ == kHeaderSize) {
      const bool footer = (header_[5] & 0x10) != 0;
      bodyLeft_ = (std::uint64_t{header_[6]} << 21 | std::uint64_t{header_[7]} << 14 |
                   std::uint64_t{header_[8]} << 7 | header_[9]) +
                  (footer ? kHeaderSize : 0);
      headerBytes_ = 0;
      state_ = bodyLeft_ > 0 ? State::kBody : State::kDone;
    }
  }
  if (state_ == State::kBody) {
    const std::size_t skip =
        static_cast<std::size_t>(std::min<std::uint64_t>(bodyLeft_, input.size() - taken));
    taken += skip;
    bodyLeft_ -= skip;
    if (bodyLeft_ == 0) state_ = State::kDone;
  }
  return taken;
}

void Id3v2Skipper::Finish(std::vector<std::uint8_t>& passOn) {
  if (state_ == State::kHeader) PassOnHeader(passOn);
  state_ = State::kDone;
}

}  // namespace vx::acm
