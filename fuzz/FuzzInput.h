// Reading a fuzzer's input as a sequence of fields: numbers, byte runs and lines. Past the
// end every read answers zeros or nothing, so a harness never has to check the length.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vx::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }

  std::uint32_t Word16() { return Number(2); }
  std::uint32_t Word32() { return Number(4); }

  // Up to count bytes (fewer at the end).
  std::string_view Bytes(std::size_t count) {
    count = std::min(count, size_ - at_);
    const std::string_view bytes(reinterpret_cast<const char*>(data_ + at_), count);
    at_ += count;
    return bytes;
  }
  // The bytes up to the next newline (which is skipped), or to the end.
  std::string_view Line() {
    const std::string_view rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    at_ += end == std::string_view::npos ? rest.size() : end + 1;
    return line;
  }

 private:
  // A little-endian number of that many bytes.
  std::uint32_t Number(std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes && at_ < size_; ++i) value |= std::uint32_t{data_[at_++]} << (8 * i);
    return value;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace vx::fuzz
