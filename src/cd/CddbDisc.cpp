#include "cd/CddbDisc.h"

#include <QByteArray>
#include <QUrl>

#include <cstdio>

#include "cd/CddbText.h"
#include "cd/MciText.h"

namespace vx::cd {
namespace {

constexpr long kFramesPerSecond = 75;

int DigitSum(long value) {
  int sum = 0;
  for (; value > 0; value /= 10) sum += static_cast<int>(value % 10);
  return sum;
}

// "mm:ss:ff" in frames; false when the reply is not of that form.
bool ParseMsf(const std::string& text, long& frames) {
  int m = 0, s = 0, f = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%d:%d:%d%c", &m, &s, &f, &end) != 3) return false;
  if (m < 0 || s < 0 || s > 59 || f < 0 || f >= kFramesPerSecond) return false;
  frames = (static_cast<long>(m) * 60 + s) * kFramesPerSecond + f;
  return true;
}

}  // namespace

std::string CddbHelloUser(const std::string& userAddress) {
  QByteArray user = QByteArray::fromStdString(userAddress);
  QByteArray host;
  const qsizetype at = user.indexOf('@');
  if (at > 0) {
    host = user.mid(at + 1);
    user.truncate(at);
  }
  QByteArray hello = user.toPercentEncoding();
  if (at > 0) hello += '+' + host.toPercentEncoding();
  return hello.toStdString();
}

CddbDiscScan BuildDiscScan(const CddbToc& toc, const std::string& userAddress) {
  CddbDiscScan scan;
  const int n = static_cast<int>(toc.startFrames.size());
  scan.trackCount = n;
  for (int t = 1; t <= n; ++t) {
    if (toc.audio[t - 1]) scan.audioTracks.push_back(t);
  }
  if (n == 0) return scan;

  // The lead-out follows the last track directly: the media layer reports exact lengths.
  const long leadOut = toc.startFrames.back() + toc.lastLengthFrames;
  int checksum = 0;
  std::string offsets;
  for (const long start : toc.startFrames) {
    checksum += DigitSum(start / kFramesPerSecond);
    offsets += '+' + std::to_string(start);
  }
  const long seconds = leadOut / kFramesPerSecond - toc.startFrames.front() / kFramesPerSecond;
  scan.discId = (static_cast<std::uint32_t>(checksum % 255) << 24) |
                (static_cast<std::uint32_t>(seconds) << 8) | static_cast<std::uint32_t>(n);

  char head[64];
  std::snprintf(head, sizeof head, text::kCddbQueryCommand, scan.discId, n);
  scan.queryPath = std::string(text::kCddbDefaultPath) + head + offsets + '+' +
                   std::to_string(seconds) +
                   QString::fromLatin1(text::kCddbHello)
                       .arg(QString::fromStdString(CddbHelloUser(userAddress)),
                            QString::fromLatin1(text::kCddbClientVersion))
                       .toStdString();
  return scan;
}

CddbDiscScan ScanDisc(CMciDevice& mci, const std::function<void(const QString&)>& statusLine,
                      const std::string& userAddress) {
  const auto report = [&] {
    statusLine(QString::asprintf(text::kMciErrorReport, mci.GetLastErrorText().c_str()));
  };
  if (!mci.SetTimeFormat("msf", CMciDevice::kCd)) report();

  CddbToc toc;
  bool complete = true;
  std::string reply;
  int tracks = 0;
  if (!mci.QueryStatus("number of tracks", reply, CMciDevice::kCd)) {
    report();
    complete = false;
  } else if (std::sscanf(reply.c_str(), "%d", &tracks) != 1 || tracks < 0) {
    tracks = 0;
  }
  for (int t = 1; t <= tracks; ++t) {
    const std::string number = std::to_string(t);
    bool audio = false;
    if (mci.QueryStatus("type track " + number, reply, CMciDevice::kCd)) {
      audio = reply == "audio";
    } else {
      report();
    }
    long start = 0;
    if (!mci.QueryStatus("position track " + number, reply, CMciDevice::kCd)) {
      report();
      complete = false;
      break;
    }
    if (!ParseMsf(reply, start)) {
      complete = false;
      break;
    }
    toc.startFrames.push_back(start);
    toc.audio.push_back(audio);
  }
  if (complete && tracks > 0) {
    if (!mci.GetLength(reply, CMciDevice::kCd, tracks)) {
      report();
      complete = false;
    } else if (!ParseMsf(reply, toc.lastLengthFrames)) {
      complete = false;
    }
  }
  if (!mci.SetTimeFormat("tmsf", CMciDevice::kCd)) report();

  CddbDiscScan scan = BuildDiscScan(toc, userAddress);
  if (!complete) {
    // A table of contents that could not be read whole has no identifier a server knows:
    // the tracks read so far are offered under their fallback names and nothing is asked.
    scan.trackCount = tracks;
    scan.discId = 0;
    scan.queryPath.clear();
  }
  return scan;
}

}  // namespace vx::cd
