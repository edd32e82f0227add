// RIFF chunk I/O: a chunk is a four-character id, a 32-bit little-endian size, the data, and
// one pad byte when the size is odd. RIFF and LIST chunks carry a four-character form type
// at the start of their data. Writing creates chunks and patches their sizes on ascend;
// reading descends by id (and form) within a parent and never reads past the parent, the
// file, or a memory buffer, however the sizes in the file lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vx::riff {

using FourCC = std::uint32_t;

constexpr FourCC MakeFourCC(const char (&id)[5]) {
  return static_cast<FourCC>(static_cast<unsigned char>(id[0])) |
         static_cast<FourCC>(static_cast<unsigned char>(id[1])) << 8 |
         static_cast<FourCC>(static_cast<unsigned char>(id[2])) << 16 |
         static_cast<FourCC>(static_cast<unsigned char>(id[3])) << 24;
}

inline constexpr FourCC kRiff = MakeFourCC("RIFF");
inline constexpr FourCC kList = MakeFourCC("LIST");
inline constexpr FourCC kWave = MakeFourCC("WAVE");

struct Chunk {
  FourCC id = 0;
  std::uint32_t size = 0;     // as stated in the file (written: as patched by Ascend)
  FourCC form = 0;            // RIFF and LIST only
  std::uint64_t start = 0;    // file offset of the id
  std::uint64_t dataOffset = 0;  // first byte after the header (and after the form)
  bool writing = false;

  // Offset just past the chunk's data as stated (without the pad byte).
  std::uint64_t End() const { return start + 8 + size; }
};

class RiffFile {
 public:
  enum class Mode { Read, Write };

  // Size of the stdio buffer of a file opened by path.
  static constexpr std::size_t kBufferSize = 1 << 16;

  RiffFile() = default;
  ~RiffFile();
  RiffFile(const RiffFile&) = delete;
  RiffFile& operator=(const RiffFile&) = delete;

  // Write creates or truncates the file. Both are buffered.
  bool Open(const std::string& path, Mode mode);
  // Reads from a caller's buffer, which must outlive the reading. False for a null buffer
  // of non-zero size.
  bool OpenMemory(const void* data, std::size_t size);
  // Closes the file; false when buffered data could not be written.
  bool Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Writes a chunk header at the current position; the size is patched by Ascend.
  bool CreateChunk(Chunk& chunk, FourCC id, std::uint32_t size = 0);
  // Writes a RIFF or LIST header with its form type.
  bool CreateList(Chunk& chunk, FourCC id, FourCC form);
  // Searches from the current position, within parent (or the whole file), for a chunk with
  // this id (and, for RIFF/LIST, this form when form is not 0). On success the position is
  // the chunk's data. Chunks that do not match are skipped with their pad bytes.
  bool Descend(Chunk& chunk, const Chunk* parent, FourCC id, FourCC form = 0);
  // Leaves a chunk: a written chunk gets its real size patched in and a pad byte when odd;
  // a read chunk is skipped to its end. The position is then just after the chunk.
  bool Ascend(Chunk& chunk);

  // Answers the bytes read or written; fewer than asked at the end or on error.
  std::size_t Read(void* buffer, std::size_t count);
  std::size_t Write(const void* buffer, std::size_t count);
  bool Seek(std::uint64_t offset);
  std::uint64_t Tell() const;
  // Size of the file (or memory buffer) when opened for reading.
  std::uint64_t Size() const { return size_; }

 private:
  bool WriteU32(std::uint32_t value);
  bool ReadU32(std::uint32_t& value);

  // The stdio buffer; stdio only honours a size it is given together with the memory.
  std::unique_ptr<char[]> buffer_;
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  bool writing_ = false;
};

}  // namespace vx::riff
