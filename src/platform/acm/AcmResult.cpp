#include "platform/acm/AcmResult.h"

namespace vx::acm {

const char* AcmResultText(AcmResult result) {
  switch (result) {
    case AcmResult::kOk: return "ok";
    case AcmResult::kNoDriver: return "no driver for the format tag";
    case AcmResult::kBadFormat: return "format record not usable";
    case AcmResult::kNotPossible: return "conversion between these formats not possible";
    case AcmResult::kCodecUnavailable: return "codec not available in the codec library";
    case AcmResult::kNoMemory: return "out of memory";
    case AcmResult::kConvertFailed: return "conversion failed";
    case AcmResult::kStreamFinished: return "stream already finished";
    case AcmResult::kInvalidArgument: return "invalid argument";
  }
  return "unknown result";
}

}  // namespace vx::acm
