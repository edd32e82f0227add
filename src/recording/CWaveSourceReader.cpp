#include "recording/CWaveSourceReader.h"

#include <algorithm>

namespace vx {

void CWaveSourceReader::Open(const std::string& path, std::uint16_t expectedTag) {
  Close();
  if (!file_.Open(path, riff::RiffFile::Mode::Read)) throw kCannotOpen;
  const riff::WaveError error = riff::ReadWaveLayout(file_, layout_);
  int code = static_cast<int>(error);
  if (error == riff::WaveError::kNone && layout_.format.formatTag != expectedTag) {
    code = kWrongFormatTag;
  }
  if (code != 0) {
    Close();
    throw code;
  }
  // Reading stops at the end of the "data" chunk: chunks that follow it (a LIST of tags,
  // say) are not sample data and must not be converted as if they were.
  dataEnd_ = layout_.dataOffset + layout_.AvailableDataBytes();
  position_ = layout_.dataOffset;
}

void CWaveSourceReader::Close() {
  file_.Close();
  layout_ = riff::WaveLayout{};
  dataEnd_ = 0;
  position_ = 0;
}

std::size_t CWaveSourceReader::Read(void* buffer, std::size_t count) {
  if (!file_.IsOpen() || position_ >= dataEnd_) return 0;
  const std::uint64_t left = dataEnd_ - position_;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
  const std::size_t read = file_.Read(buffer, wanted);
  position_ += read;
  return read;
}

bool CWaveSourceReader::Seek(std::uint64_t position) {
  if (!file_.IsOpen() || position < layout_.dataOffset || !file_.Seek(position)) return false;
  position_ = position;
  return true;
}

int CWaveSourceReader::ProgressPercent() const {
  if (!file_.IsOpen()) return 0;
  if (layout_.dataSize == 0) return 100;
  const std::uint64_t done = std::min<std::uint64_t>(position_ - layout_.dataOffset,
                                                     layout_.dataSize);
  return static_cast<int>(done * 100 / layout_.dataSize);
}

}  // namespace vx
