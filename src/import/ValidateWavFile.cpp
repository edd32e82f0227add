#include "import/ValidateWavFile.h"

#include <charconv>

#include "cd/CMciDevice.h"
#include "cd/MciText.h"
#include "import/ImportText.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

constexpr long kLowestRate = 22050;
constexpr int kBitsPerSample = 16;
constexpr int kMostChannels = 2;

// The leading decimal digits of a reply (with an optional sign); 0 when there are none.
long LeadingNumber(const std::string& text) {
  long value = 0;
  const char* begin = text.data();
  if (std::from_chars(begin, begin + text.size(), value).ec != std::errc()) return 0;
  return value;
}

void Warn(const QString& text) { Ui().Message(text, MsgIcon::Exclamation); }

// One run of the checks; every status reply lands in the same text, so a failed query leaves
// the previous reply in place for the comparison that follows it.
class WavCheck {
 public:
  WavCheck(CMciDevice& mci, const StatusLine& statusLine, const std::string& fileName)
      : mci_(mci), statusLine_(statusLine), fileName_(fileName) {}

  bool Run(std::string& lengthMs) {
    statusLine_(QString());
    if (!Command(mci_.OpenWaveFile(fileName_))) return false;

    Query("format tag");
    if (reply_ != "pcm") {
      Refuse(QString::asprintf(text::kCompressedFormat, reply_.c_str()));
    } else {
      CheckFormat();
      Command(mci_.SetTimeFormat("ms", CMciDevice::kWave));
      if (Query("length")) lengthMs = reply_;
    }
    Command(mci_.CloseDevice(CMciDevice::kWave));
    return result_;
  }

 private:
  // The rate and bits rules; then the limits of the player and the compressor, judged only
  // on replies that really came.
  void CheckFormat() {
    Query("samplespersec");
    const long rate = LeadingNumber(reply_);
    if (rate < kLowestRate) Refuse(QString::asprintf(text::kRateTooLow, rate, kLowestRate));

    const bool bitsRead = Query("bitspersample");
    const auto bits = static_cast<int>(LeadingNumber(reply_));
    if (bits < kBitsPerSample) {
      Refuse(QString::asprintf(text::kTooFewBits, bits, kBitsPerSample));
    } else if (bitsRead && bits > kBitsPerSample) {
      Refuse(QString::asprintf(text::kTooManyBits, bits, kBitsPerSample));
    }

    if (Query("channels")) {
      const auto channels = static_cast<int>(LeadingNumber(reply_));
      if (channels > kMostChannels) {
        Refuse(QString::asprintf(text::kTooManyChannels, channels, kMostChannels));
      }
    }
  }

  void Refuse(const QString& reason) {
    Warn(reason);
    result_ = false;
  }

  bool Query(const char* item) {
    return Command(mci_.QueryStatus(item, reply_, CMciDevice::kWave));
  }

  // Reports a failed command on the status line and in a message box; the checks go on.
  bool Command(bool succeeded) {
    if (succeeded) return true;
    statusLine_(QString::asprintf(text::kMciErrorReport, mci_.GetLastErrorText().c_str()));
    Warn(QString::asprintf(text::kNoDetailedInfo, fileName_.c_str()));
    result_ = false;
    return false;
  }

  CMciDevice& mci_;
  const StatusLine& statusLine_;
  const std::string& fileName_;
  std::string reply_;
  bool result_ = true;
};

}  // namespace

bool ValidateWavFile(CMciDevice& mci, const StatusLine& statusLine, const std::string& fileName,
                     std::string& lengthMs) {
  return WavCheck(mci, statusLine, fileName).Run(lengthMs);
}

}  // namespace vx
