// Skips an ID3v2 tag at the very start of an MP3 byte stream (MP3 files wrapped in WAVE keep
// theirs), taking the stream in pieces of any size. The codec library's frame parser would
// otherwise glue the tag to the first frame, and that frame would be lost.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vx::acm {

class Id3v2Skipper {
 public:
  // Takes bytes from the front of input while the tag header or body is being read. Header
  // bytes that turn out not to start a tag are appended to passOn, to be decoded.
  std::size_t Take(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& passOn);
  bool Done() const { return state_ == State::kDone; }
  // At the end of the stream: hands on header bytes still held back.
  void Finish(std::vector<std::uint8_t>& passOn);

 private:
  enum class State { kHeader, kBody, kDone };
  static constexpr std::size_t kHeaderSize = 10;

  bool StillLooksLikeTag() const;
  void PassOnHeader(std::vector<std::uint8_t>& passOn);

  State state_ = State::kHeader;
  std::array<std::uint8_t, kHeaderSize> header_{};
  std::size_t headerBytes_ = 0;
  std::uint64_t bodyLeft_ = 0;
};

}  // namespace vx::acm
