#include "platform/riff/WaveFile.h"

namespace vx::riff {
namespace {

// A format record larger than this is not a real one; refusing it early keeps a hostile
// size from making us allocate it.
constexpr std::uint32_t kMaxFormatRecord = 1 << 16;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, static_cast<std::uint16_t>(value));
  Put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Get32(const std::uint8_t* p) {
  return Get16(p) | static_cast<std::uint32_t>(Get16(p + 2)) << 16;
}

}  // namespace

WaveFormat WaveFormat::Pcm16(int channels, int samplesPerSec) {
  WaveFormat format;
  format.formatTag = kFormatPcm;
  format.channels = static_cast<std::uint16_t>(channels);
  format.samplesPerSec = static_cast<std::uint32_t>(samplesPerSec);
  format.blockAlign = static_cast<std::uint16_t>(channels * 2);
  format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
  format.bitsPerSample = 16;
  return format;
}

std::vector<std::uint8_t> WaveFormat::Bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(18 + extra.size());
  Put16(out, formatTag);
  Put16(out, channels);
  Put32(out, samplesPerSec);
  Put32(out, avgBytesPerSec);
  Put16(out, blockAlign);
  Put16(out, bitsPerSample);
  Put16(out, static_cast<std::uint16_t>(extra.size()));
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
}

bool WaveFormat::FromBytes(const std::uint8_t* bytes, std::size_t size, WaveFormat& format) {
  if (bytes == nullptr || size < 16) return false;
  WaveFormat read;
  read.formatTag = Get16(bytes);
  read.channels = Get16(bytes + 2);
  read.samplesPerSec = Get32(bytes + 4);
  read.avgBytesPerSec = Get32(bytes + 8);
  read.blockAlign = Get16(bytes + 12);
  read.bitsPerSample = Get16(bytes + 14);
  if (size >= 18) {
    const std::size_t extraSize = Get16(bytes + 16);
    if (18 + extraSize > size) return false;
    read.extra.assign(bytes + 18, bytes + 18 + extraSize);
  }
  format = std::move(read);
  return true;
}

std::uint64_t WaveLayout::AvailableDataBytes() const {
  if (dataOffset >= fileSize) return 0;
  const std::uint64_t present = fileSize - dataOffset;
  return dataSize < present ? dataSize : present;
}

WaveError ReadWaveLayout(RiffFile& file, WaveLayout& layout) {
  Chunk riff;
  if (!file.Seek(0) || !file.Descend(riff, nullptr, kRiff, kWave)) return WaveError::kNotWave;
  Chunk fmt;
  if (!file.Descend(fmt, &riff, kFmt)) return WaveError::kNoFormat;
  const std::uint64_t present = file.Size() > fmt.dataOffset ? file.Size() - fmt.dataOffset : 0;
  if (fmt.size > kMaxFormatRecord || fmt.size > present) return WaveError::kShortFormat;
  layout.formatRecord.resize(fmt.size);
  if (file.Read(layout.formatRecord.data(), fmt.size) != fmt.size ||
      !WaveFormat::FromBytes(layout.formatRecord.data(), fmt.size, layout.format)) {
    return WaveError::kShortFormat;
  }
  // "data" may stand before or after "fmt ": search the whole RIFF chunk again.
  Chunk data;
  if (!file.Seek(riff.dataOffset) || !file.Descend(data, &riff, kData)) {
    return WaveError::kNoData;
  }
  layout.dataOffset = data.dataOffset;
  layout.dataSize = data.size;
  layout.fileSize = file.Size();
  return WaveError::kNone;
}

WaveError ReadWaveLayout(const std::string& path, WaveLayout& layout) {
  RiffFile file;
  if (!file.Open(path, RiffFile::Mode::Read)) return WaveError::kOpen;
  return ReadWaveLayout(file, layout);
}

WaveError ParseWaveBytes(const std::uint8_t* bytes, std::size_t size, WaveLayout& layout) {
  RiffFile file;
  if (!file.OpenMemory(bytes, size)) return WaveError::kOpen;
  return ReadWaveLayout(file, layout);
}

bool WriteTextChunk(RiffFile& file, FourCC id, const std::string& text) {
  const std::size_t zeros = text.size() % 2 == 0 ? 2 : 1;
  if (text.size() + zeros > 0xffffffffu) return false;
  // The size is known up front, so Ascend has nothing to patch.
  Chunk chunk;
  if (!file.CreateChunk(chunk, id, static_cast<std::uint32_t>(text.size() + zeros))) return false;
  const char padding[2] = {0, 0};
  return file.Write(text.data(), text.size()) == text.size() &&
         file.Write(padding, zeros) == zeros && file.Ascend(chunk);
}

WaveFileWriter::~WaveFileWriter() { Close(); }

bool WaveFileWriter::Open(const std::string& path) {
  Close();
  dataBytes_ = 0;
  return file_.Open(path, RiffFile::Mode::Write);
}

bool WaveFileWriter::WriteHeaders(const std::vector<std::uint8_t>& formatRecord) {
  if (!file_.IsOpen() || riffOpen_) return false;
  Chunk fmt;
  riffOpen_ = file_.CreateList(riff_, kRiff, kWave);
  dataOpen_ = riffOpen_ &&
              file_.CreateChunk(fmt, kFmt, static_cast<std::uint32_t>(formatRecord.size())) &&
              file_.Write(formatRecord.data(), formatRecord.size()) == formatRecord.size() &&
              file_.Ascend(fmt) && file_.CreateChunk(data_, kData);
  if (!dataOpen_) {
    // A half-written header is no WAVE file: do not leave it open for appending and closing.
    riffOpen_ = false;
    file_.Close();
  }
  return dataOpen_;
}

bool WaveFileWriter::Append(const void* bytes, std::size_t count) {
  if (!dataOpen_) return false;
  const std::uint64_t room = maxDataBytes_ - dataBytes_;
  const std::size_t accepted = count < room ? count : static_cast<std::size_t>(room);
  const std::size_t written = file_.Write(bytes, accepted);
  dataBytes_ += written;
  return written == count;
}

bool WaveFileWriter::EndData() {
  if (!dataOpen_) return false;
  dataOpen_ = false;
  return file_.Ascend(data_);
}

bool WaveFileWriter::Close() {
  if (!file_.IsOpen()) return true;
  bool ok = true;
  if (dataOpen_) ok = EndData();
  if (riffOpen_) ok = file_.Ascend(riff_) && ok;
  riffOpen_ = false;
  return file_.Close() && ok;
}

}  // namespace vx::riff
