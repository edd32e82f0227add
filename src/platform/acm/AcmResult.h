// Result codes of the audio compression manager. Every operation answers one of these;
// 0 is success, the others name what went wrong so that callers can map them to their own
// error numbers.
#pragma once

namespace vx::acm {

enum class AcmResult : int {
  kOk = 0,
  kNoDriver = 1,          // no driver handles the format tag (or the driver id is unknown)
  kBadFormat = 2,         // a format record is malformed or outside what the codec takes
  kNotPossible = 3,       // the driver does not convert between the two formats
  kCodecUnavailable = 4,  // the codec library lacks the codec or refused to open it
  kNoMemory = 5,          // the codec library could not allocate
  kConvertFailed = 6,     // the codec failed for a reason other than bad input data
  kStreamFinished = 7,    // Convert called after Finish
  kInvalidArgument = 8,   // a null buffer with a non-zero size
};

// A short English description, for logs and test failures.
const char* AcmResultText(AcmResult result);

}  // namespace vx::acm
