#include "platform/wave/virtual/TapeFile.h"

#include <sys/types.h>

#include "platform/wave/virtual/DeviceClock.h"

namespace vx::wave {
namespace {

constexpr std::uint64_t kMaxRiffBytes = 0xFFFFFFFFull;
constexpr std::int64_t kRefreshNs = 1'000'000'000;

}  // namespace

bool TapeFile::Begin(const riff::WaveFormat& format) {
  End();
  if (format_ && *format_ == format && OpenForAppend(format)) return true;
  return Rewrite(format) && OpenForAppend(format);
}

bool TapeFile::Rewrite(const riff::WaveFormat& format) {
  format_.reset();
  riff::WaveFileWriter writer;
  if (!writer.Create(path_, format) || !writer.Close()) return false;
  format_ = format;
  return true;
}

bool TapeFile::OpenForAppend(const riff::WaveFormat& format) {
  riff::WaveLayout layout;
  if (riff::ReadWaveLayout(path_, layout) != riff::WaveError::kNone ||
      layout.format != format) {
    return false;
  }
  // The sample data must be the file's last chunk, with nothing but its pad byte after it.
  const std::uint64_t dataEnd = layout.dataOffset + layout.dataSize;
  if (dataEnd + (layout.dataSize & 1) != layout.fileSize) return false;
  file_ = std::fopen(path_.c_str(), "r+b");
  if (file_ == nullptr) return false;
  if (fseeko(file_, static_cast<off_t>(dataEnd), SEEK_SET) != 0) {
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  dataOffset_ = layout.dataOffset;
  dataBytes_ = layout.dataSize;
  refreshedNs_ = DeviceClock::NowNs();
  return true;
}

bool TapeFile::Append(const void* bytes, std::size_t count) {
  if (file_ == nullptr) return false;
  if (dataOffset_ + dataBytes_ + count + 1 > kMaxRiffBytes) return false;
  const std::size_t written = std::fwrite(bytes, 1, count, file_);
  dataBytes_ += written;
  bool ok = written == count;
  if (DeviceClock::NowNs() - refreshedNs_ >= kRefreshNs) ok = Refresh() && ok;
  return ok;
}

bool TapeFile::Refresh() {
  if (file_ == nullptr) return true;
  refreshedNs_ = DeviceClock::NowNs();
  // The samples reach the file before the sizes that count them.
  const std::uint64_t dataEnd = dataOffset_ + dataBytes_;
  bool ok = std::fflush(file_) == 0 && PatchSizes(dataEnd) && std::fflush(file_) == 0;
  ok = fseeko(file_, static_cast<off_t>(dataEnd), SEEK_SET) == 0 && ok;
  return ok;
}

bool TapeFile::End() {
  if (file_ == nullptr) return true;
  bool ok = true;
  if ((dataBytes_ & 1) != 0) ok = std::fputc(0, file_) != EOF;
  ok = PatchSizes(dataOffset_ + dataBytes_ + (dataBytes_ & 1)) && ok;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok;
}

bool TapeFile::PatchSizes(std::uint64_t fileEnd) {
  const bool data = PatchSize(dataOffset_ - 4, static_cast<std::uint32_t>(dataBytes_));
  return PatchSize(4, static_cast<std::uint32_t>(fileEnd - 8)) && data;
}

bool TapeFile::PatchSize(std::uint64_t offset, std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0 &&
         std::fwrite(bytes, 1, 4, file_) == 4;
}

}  // namespace vx::wave
