#include "import/ImportMp3File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "import/ImportText.h"
#include "import/Mp3Probe.h"
#include "library/SongStore.h"
#include "platform/acm/AcmFormat.h"
#include "platform/ui/UserInteraction.h"
#include "recording/CCompressedWaveWriter.h"

namespace vx {
namespace {

// The "fmt " chunk holds the 30-byte format record and two more zero bytes.
constexpr std::size_t kFormatChunkSize = 32;
// The source is copied in pieces of this size, never held whole in memory.
constexpr std::size_t kCopyPiece = 1 << 20;

// The source file, read by position.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      const int error = fd_ < 0 ? errno : EINVAL;
      if (fd_ >= 0) close(fd_);
      throw std::system_error(error, std::generic_category(), "cannot read " + path);
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  ~FileByteSource() override { close(fd_); }
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::uint64_t Size() const override { return size_; }

  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override {
    auto* bytes = static_cast<char*>(buffer);
    while (count > 0) {
      const ssize_t got = pread(fd_, bytes, count, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      bytes += got;
      offset += static_cast<std::uint64_t>(got);
      count -= static_cast<std::size_t>(got);
    }
    return true;
  }

  // Appends every byte of the file to the writer; throws kWriteFailed when the file cannot be
  // read to its end, or the writer's own code.
  void CopyTo(CCompressedWaveWriter& writer) {
    const auto buffer = std::make_unique<char[]>(kCopyPiece);
    for (std::uint64_t offset = 0; offset < size_;) {
      const std::size_t piece =
          size_ - offset < kCopyPiece ? static_cast<std::size_t>(size_ - offset) : kCopyPiece;
      if (!ReadAt(offset, buffer.get(), piece)) throw CCompressedWaveWriter::kWriteFailed;
      writer.Write(buffer.get(), piece);
      offset += piece;
    }
  }

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

void Warn(const char* text) { Ui().Message(QString::fromUtf8(text), MsgIcon::Exclamation); }

// The message for a refused file; nullptr for an accepted one.
const char* RefusalText(Mp3Verdict verdict) {
  switch (verdict) {
    case Mp3Verdict::kAccepted: return nullptr;
    case Mp3Verdict::kNoFrameSync: return text::kNoMp3Header;
    case Mp3Verdict::kNotLayer3: return text::kNotLayer3;
    case Mp3Verdict::kInvalidHeader: return text::kInvalidMp3Header;
    case Mp3Verdict::kLowQuality: return text::kLowQualityMp3;
  }
  return text::kNoMp3Header;
}

// Writes the wrapping file: RIFF/WAVE, the format chunk, the whole source as "data", then
// LIST/INFO with the software, the title and the artist. Throws the writer's codes.
void WriteWrapper(const std::string& path, const Mp3Probe& probe, const Id3v1Tag& tag,
                  FileByteSource& source) {
  const std::vector<std::uint8_t> format =
      acm::MpegLayer3Format(probe.channels, static_cast<int>(probe.sampleRate), probe.bitRate,
                            probe.padding ? 1 : 0)
          .Bytes();
  CCompressedWaveWriter writer;
  writer.Create(path, format, kFormatChunkSize);
  source.CopyTo(writer);
  writer.Finish(tag.title, tag.artist);
}

}  // namespace

bool ImportMp3File(const std::string& fileName, const std::string& libraryFolder,
                   Mp3Import& result) {
  FileByteSource source(fileName);
  const Mp3Probe probe = ProbeMp3(source);
  if (probe.tag) result.tag = *probe.tag;
  if (const char* refusal = RefusalText(probe.verdict)) {
    Warn(refusal);
    return false;
  }

  const std::string tempPath = MakeTempFileName(SongsFolder(libraryFolder), kImportTempPrefix);
  if (tempPath.empty()) {
    Warn(text::kMp3OutputError);
    return false;
  }
  try {
    WriteWrapper(tempPath, probe, result.tag, source);
  } catch (int) {
    std::remove(tempPath.c_str());
    Warn(text::kMp3OutputError);
    return false;
  } catch (...) {
    std::remove(tempPath.c_str());
    throw;
  }
  result.tempPath = tempPath;
  result.length = Mp3LengthText(probe.fileSize, probe.bitRate);
  return true;
}

}  // namespace vx
