#include "platform/riff/RiffFile.h"

#include <sys/stat.h>

namespace vx::riff {

RiffFile::~RiffFile() { Close(); }

bool RiffFile::Open(const std::string& path, Mode mode) {
  Close();
  writing_ = mode == Mode::Write;
  file_ = std::fopen(path.c_str(), writing_ ? "w+be" : "rbe");
  if (file_ == nullptr) return false;
  if (buffer_ == nullptr) buffer_ = std::make_unique<char[]>(kBufferSize);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferSize);
  size_ = 0;
  if (!writing_) {
    // A folder opens for reading on this platform, but it is no file to read.
    struct stat info {};
    if (fstat(fileno(file_), &info) != 0 || S_ISDIR(info.st_mode)) {
      Close();
      return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
  }
  return true;
}

bool RiffFile::OpenMemory(const void* data, std::size_t size) {
  Close();
  writing_ = false;
  if (data == nullptr && size != 0) return false;
  if (size == 0) {
    // fmemopen refuses empty buffers; an empty file reads nothing.
    static const char kEmpty = 0;
    data = &kEmpty;
  }
  file_ = fmemopen(const_cast<void*>(data), size == 0 ? 1 : size, "rb");
  size_ = size;
  if (file_ != nullptr && size == 0) std::fseek(file_, 1, SEEK_SET);
  return file_ != nullptr;
}

bool RiffFile::Close() {
  if (file_ == nullptr) return true;
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  size_ = 0;
  return ok;
}

bool RiffFile::WriteU32(std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return Write(bytes, 4) == 4;
}

bool RiffFile::ReadU32(std::uint32_t& value) {
  unsigned char bytes[4];
  if (Read(bytes, 4) != 4) return false;
  value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return true;
}

bool RiffFile::CreateChunk(Chunk& chunk, FourCC id, std::uint32_t size) {
  if (!writing_ || file_ == nullptr) return false;
  chunk = Chunk{};
  chunk.id = id;
  chunk.size = size;
  chunk.start = Tell();
  chunk.writing = true;
  if (!WriteU32(id) || !WriteU32(size)) return false;
  chunk.dataOffset = chunk.start + 8;
  return true;
}

bool RiffFile::CreateList(Chunk& chunk, FourCC id, FourCC form) {
  if (!CreateChunk(chunk, id, 4) || !WriteU32(form)) return false;
  chunk.form = form;
  chunk.dataOffset += 4;
  return true;
}

bool RiffFile::Descend(Chunk& chunk, const Chunk* parent, FourCC id, FourCC form) {
  if (file_ == nullptr || writing_) return false;
  const std::uint64_t limit = parent != nullptr && parent->End() < size_ ? parent->End() : size_;
  std::uint64_t position = Tell();
  if (parent != nullptr && position < parent->dataOffset) position = parent->dataOffset;
  while (position + 8 <= limit) {
    Chunk found;
    found.start = position;
    if (!Seek(position) || !ReadU32(found.id) || !ReadU32(found.size)) return false;
    found.dataOffset = position + 8;
    const bool isList = found.id == kRiff || found.id == kList;
    if (found.id == id) {
      if (!isList) {
        chunk = found;
        return true;
      }
      if (found.size >= 4 && found.dataOffset + 4 <= limit && ReadU32(found.form) &&
          (form == 0 || found.form == form)) {
        found.dataOffset += 4;
        chunk = found;
        return true;
      }
    }
    position = found.End() + (found.size & 1);
  }
  return false;
}

bool RiffFile::Ascend(Chunk& chunk) {
  if (file_ == nullptr) return false;
  if (!chunk.writing) return Seek(chunk.End() + (chunk.size & 1));
  const std::uint64_t end = Tell();
  const std::uint64_t actual = end - (chunk.start + 8);
  if (actual > 0xffffffffu) return false;
  if (actual != chunk.size) {
    chunk.size = static_cast<std::uint32_t>(actual);
    if (!Seek(chunk.start + 4) || !WriteU32(chunk.size) || !Seek(end)) return false;
  }
  if ((chunk.size & 1) != 0) {
    const unsigned char pad = 0;
    if (Write(&pad, 1) != 1) return false;
  }
  chunk.writing = false;
  return true;
}

std::size_t RiffFile::Read(void* buffer, std::size_t count) {
  return file_ == nullptr ? 0 : std::fread(buffer, 1, count, file_);
}

std::size_t RiffFile::Write(const void* buffer, std::size_t count) {
  return (file_ == nullptr || !writing_) ? 0 : std::fwrite(buffer, 1, count, file_);
}

bool RiffFile::Seek(std::uint64_t offset) {
  return file_ != nullptr && fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::uint64_t RiffFile::Tell() const {
  if (file_ == nullptr) return 0;
  const off_t position = ftello(file_);
  return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

}  // namespace vx::riff
