#include "platform/mci/WaveFileSource.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmFormat.h"
#include "platform/mci/MciErrors.h"

namespace vx::mci {
namespace {

constexpr std::size_t kSourceChunk = 8192;

bool IsPlayablePcm(const riff::WaveFormat& format) {
  return format.formatTag == riff::kFormatPcm && format.channels > 0 &&
         format.samplesPerSec > 0 && format.blockAlign > 0 &&
         format.blockAlign == format.channels * ((format.bitsPerSample + 7) / 8);
}

}  // namespace

unsigned WaveFileSource::Open(const std::string& path, std::unique_ptr<WaveFileSource>& source) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return kFileNotFound;
  riff::WaveLayout layout;
  const riff::WaveError walked = riff::ReadWaveLayout(path, layout);
  if (walked == riff::WaveError::kOpen) return kFileNotFound;
  if (walked != riff::WaveError::kNone) return kInvalidFile;

  riff::WaveFormat pcm = layout.format;
  if (layout.format.formatTag != riff::kFormatPcm) {
    const auto driver = acm::FindDriverForTag(layout.format.formatTag);
    if (!driver || acm::SuggestFormat(*driver, layout.format, riff::kFormatPcm, pcm) !=
                       acm::AcmResult::kOk) {
      return kUnsupportedFormat;
    }
  } else if (!IsPlayablePcm(pcm)) {
    return kUnsupportedFormat;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return kFileNotFound;
  std::unique_ptr<WaveFileSource> opened(new WaveFileSource(file, std::move(layout), pcm));
  if (!opened->Rewind()) return kUnsupportedFormat;
  source = std::move(opened);
  return kMciOk;
}

WaveFileSource::WaveFileSource(std::FILE* file, riff::WaveLayout layout, riff::WaveFormat pcm)
    : file_(file), layout_(std::move(layout)), pcm_(std::move(pcm)) {
  const std::uint64_t bytes = layout_.AvailableDataBytes();
  if (layout_.format.formatTag == riff::kFormatPcm) {
    frames_ = bytes / layout_.format.blockAlign;
  } else if (layout_.format.avgBytesPerSec > 0) {
    frames_ = bytes * layout_.format.samplesPerSec / layout_.format.avgBytesPerSec;
  }
}

WaveFileSource::~WaveFileSource() { std::fclose(file_); }

bool WaveFileSource::Rewind() {
  if (std::fseek(file_, static_cast<long>(layout_.dataOffset), SEEK_SET) != 0) return false;
  dataRead_ = 0;
  pendingSource_.clear();
  decoded_.clear();
  decodedOffset_ = 0;
  finished_ = false;
  if (layout_.format.formatTag == riff::kFormatPcm) return true;
  stream_.reset();
  const auto driver = acm::FindDriverForTag(layout_.format.formatTag);
  return driver && acm::AcmStream::Open(*driver, layout_.format, pcm_, stream_) ==
                       acm::AcmResult::kOk;
}

bool WaveFileSource::Seek(std::uint64_t frame) {
  if (layout_.format.formatTag == riff::kFormatPcm) {
    const std::uint64_t offset =
        std::min<std::uint64_t>(frame * pcm_.blockAlign, layout_.AvailableDataBytes());
    if (std::fseek(file_, static_cast<long>(layout_.dataOffset + offset), SEEK_SET) != 0) {
      return false;
    }
    dataRead_ = offset;
    return true;
  }
  // Compressed data is decoded from the start up to the frame.
  if (!Rewind()) return false;
  std::vector<std::uint8_t> scratch(4096u * pcm_.blockAlign);
  while (frame > 0) {
    const std::size_t got = Read(scratch.data(), std::min<std::uint64_t>(frame, 4096));
    if (got == 0) break;
    frame -= got;
  }
  return true;
}

bool WaveFileSource::DecodeMore() {
  if (finished_) return false;
  const std::uint64_t left = layout_.AvailableDataBytes() - dataRead_;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kSourceChunk));
  const std::size_t had = pendingSource_.size();
  pendingSource_.resize(had + want);
  const std::size_t got = want > 0 ? std::fread(pendingSource_.data() + had, 1, want, file_) : 0;
  pendingSource_.resize(had + got);
  dataRead_ += got;
  const bool atEnd = got == 0;

  decoded_.assign(stream_->DestinationSizeFor(std::max<std::size_t>(pendingSource_.size(), 1)) +
                      kSourceChunk, 0);
  decodedOffset_ = 0;
  acm::AcmConvertResult result;
  const auto mode = atEnd ? acm::AcmConvertMode::kAll : acm::AcmConvertMode::kBlockAlign;
  if (stream_->Convert(pendingSource_.data(), pendingSource_.size(), decoded_.data(),
                       decoded_.size(), mode, result) != acm::AcmResult::kOk) {
    result = {};
  }
  pendingSource_.erase(pendingSource_.begin(),
                       pendingSource_.begin() + static_cast<long>(result.sourceUsed));
  std::size_t produced = result.destinationUsed;
  if (atEnd && produced == 0) {
    if (stream_->Finish(decoded_.data(), decoded_.size(), produced) != acm::AcmResult::kOk ||
        produced == 0) {
      finished_ = true;
    }
  }
  decoded_.resize(produced);
  return !finished_;
}

std::size_t WaveFileSource::Read(std::uint8_t* out, std::size_t frames) {
  const std::size_t frameBytes = pcm_.blockAlign;
  if (layout_.format.formatTag == riff::kFormatPcm) {
    const std::uint64_t left = layout_.AvailableDataBytes() - dataRead_;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(left / frameBytes, frames)) * frameBytes;
    const std::size_t got = want > 0 ? std::fread(out, 1, want, file_) : 0;
    dataRead_ += got;
    return got / frameBytes;
  }
  const std::size_t wanted = frames * frameBytes;
  std::size_t copied = 0;
  while (copied < wanted) {
    if (decodedOffset_ == decoded_.size()) {
      if (!DecodeMore()) break;
      continue;
    }
    const std::size_t take = std::min(wanted - copied, decoded_.size() - decodedOffset_);
    std::memcpy(out + copied, decoded_.data() + decodedOffset_, take);
    decodedOffset_ += take;
    copied += take;
  }
  // A trailing part frame (never produced by the codecs) is dropped.
  return copied / frameBytes;
}

}  // namespace vx::mci
