#include "platform/acm/Converter.h"

#include <algorithm>
#include <cstring>

namespace vx::acm {

void OutputSink::Write(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t room = capacity_ > produced_ ? capacity_ - produced_ : 0;
  const std::size_t fits = std::min(count, room);
  if (fits > 0) std::memcpy(destination_ + produced_, bytes, fits);
  produced_ += fits;
  if (fits < count) overflow_.insert(overflow_.end(), bytes + fits, bytes + count);
}

AcmResult BlockConverter::Convert(std::span<const std::uint8_t> source, AcmConvertMode mode,
                                  OutputSink& out, std::size_t& used) {
  used = 0;
  while (source.size() - used >= sourceBlock_ && !out.Full()) {
    const AcmResult result = ConvertBlock(source.subspan(used, sourceBlock_), out);
    if (result != AcmResult::kOk) return result;
    used += sourceBlock_;
  }
  const std::size_t remainder = source.size() - used;
  if (mode == AcmConvertMode::kAll && remainder < sourceBlock_ && !out.Full()) {
    const std::size_t partial = UsablePartialBytes(remainder);
    if (partial > 0) {
      const AcmResult result = ConvertBlock(source.subspan(used, partial), out);
      if (result != AcmResult::kOk) return result;
      used += partial;
    }
  }
  return AcmResult::kOk;
}

}  // namespace vx::acm
