#include "recording/CCompressedWaveWriter.h"

namespace vx {

void CCompressedWaveWriter::Create(const std::string& path,
                                   const std::vector<std::uint8_t>& formatRecord,
                                   std::size_t fullFormatSize) {
  Close();
  std::vector<std::uint8_t> record = formatRecord;
  if (record.size() < fullFormatSize) record.resize(fullFormatSize, 0);
  if (!writer_.Open(path)) throw kCannotCreate;
  if (!writer_.WriteHeaders(record)) throw kHeadersFailed;
}

void CCompressedWaveWriter::Write(const void* bytes, std::size_t count) {
  if (!writer_.Append(bytes, count)) throw kWriteFailed;
}

void CCompressedWaveWriter::Finish(const std::string& name, const std::string& artist,
                                   const std::string& software) {
  if (!writer_.EndData()) throw kWriteFailed;
  riff::RiffFile& file = writer_.File();
  riff::Chunk list;
  if (!file.CreateList(list, riff::kList, riff::kInfo)) throw kListFailed;
  if (!riff::WriteTextChunk(file, riff::MakeFourCC("ISFT"), software)) throw kSoftwareFailed;
  if (!riff::WriteTextChunk(file, riff::MakeFourCC("INAM"), name)) throw kNameFailed;
  if (!riff::WriteTextChunk(file, riff::MakeFourCC("IART"), artist)) throw kArtistFailed;
  if (!file.Ascend(list) || !writer_.Close()) throw kWriteFailed;
}

void CCompressedWaveWriter::Close() { writer_.Close(); }

}  // namespace vx
