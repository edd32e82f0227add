#include "audioserver/AudioServer.h"

#include <cstring>
#include <vector>

namespace vx::audioserver {

AudioServer::Reply AudioServer::Handle(const Request& request, UniqueFd fd) {
  switch (request.kind) {
    case MessageKind::kSetData:
      switch (static_cast<SetDataKind>(request.wParam)) {
        case SetDataKind::kBind: return Bind(std::move(fd));
        case SetDataKind::kChunkSize: return {SetChunkSize(request.lParam), {}};
        case SetDataKind::kFinish: finished_ = true; return {1, {}};
      }
      return {};
    case MessageKind::kOpenSong: return {OpenSong(request.wParam, request.lParam), {}};
    case MessageKind::kGetData: return {GetData(), {}};
    case MessageKind::kSeekNext: return {SeekNext(request.wParam, request.lParam), {}};
    case MessageKind::kSeekFirst: break;
  }
  return {};
}

void AudioServer::Serve(MessageChannel& channel) {
  while (!finished_) {
    Request request;
    UniqueFd fd;
    const ChannelStatus status = channel.ReceiveRequest(request, fd, -1);
    if (status == ChannelStatus::kClosed || status == ChannelStatus::kError) return;
    Reply reply = status == ChannelStatus::kOk ? Handle(request, std::move(fd)) : Reply{};
    if (!channel.SendAnswer(reply.value, reply.fd.Get())) return;
  }
}

AudioServer::Reply AudioServer::Bind(UniqueFd playerRegion) {
  // One player per server: a second bind is refused rather than swapping regions under it.
  if (player_.IsAdopted()) return {};
  if (!player_.Adopt(std::move(playerRegion))) return {};
  if (!own_.Create("vxacmsvr", kFormatRecordAt)) {
    player_.Release();
    return {};
  }
  Reply reply{1, own_.ReadOnlyDescriptor()};
  if (!reply.fd.IsValid()) {
    player_.Release();
    own_.Release();
    return {};
  }
  return reply;
}

std::uint32_t AudioServer::SetChunkSize(std::uint32_t chunkSize) {
  if (!player_.IsAdopted() || chunkSize == 0 || chunkSize > kMaxChunkSize) return kRefused;
  chunkSize_ = chunkSize;
  return 1;
}

std::uint32_t AudioServer::OpenSong(std::uint32_t length, std::uint32_t address) {
  // A refused song leaves no song open: SeekNext must not go on with the previous one.
  decoder_.Close();
  outputAt_ = 0;
  if (chunkSize_ == 0 || length > kMaxFormatLength) return kRefused;
  const std::uint8_t* shared = player_.View(address, length);
  if (shared == nullptr) return kRefused;
  // The player may reuse its memory once it has the answer: keep a copy.
  const std::vector<std::uint8_t> formatRecord(shared, shared + length);
  if (!decoder_.Open(formatRecord, chunkSize_)) return kRefused;

  const std::vector<std::uint8_t> output = decoder_.OutputFormat().Bytes();
  const std::uint32_t outputAt =
      (kFormatRecordAt + static_cast<std::uint32_t>(output.size()) + 15) / 16 * 16;
  if (!own_.Reserve(std::size_t{outputAt} + decoder_.DecodedMaximum())) {
    decoder_.Close();
    return kRefused;
  }
  std::memcpy(own_.Data() + kFormatRecordAt, output.data(), output.size());
  WriteBlock(kFormatInfoAt, FormatInfoBlock{decoder_.DecodedMaximum(),
                                            static_cast<std::uint32_t>(output.size()),
                                            kFormatRecordAt});
  outputAt_ = outputAt;
  return outputAt_;
}

std::uint32_t AudioServer::GetData() const { return decoder_.IsOpen() ? kFormatInfoAt : kRefused; }

std::uint32_t AudioServer::SeekNext(std::uint32_t count, std::uint32_t address) {
  if (!decoder_.IsOpen() || count == 0 || count > chunkSize_) return kRefused;
  const std::uint8_t* input = player_.View(address, count);
  if (input == nullptr) return kRefused;
  // A chunk shorter than the chunk size is the end of the song's data (or a whole-block
  // priming read): decode everything in it, a partial last block included.
  const bool last = count < chunkSize_;
  DecodeResultBlock result;
  if (!decoder_.Decode({input, count}, last, {own_.Data() + outputAt_, decoder_.DecodedMaximum()},
                       result.consumed, result.produced)) {
    return kRefused;
  }
  WriteBlock(kDecodeResultAt, result);
  return kDecodeResultAt;
}

template <typename Block>
void AudioServer::WriteBlock(std::uint32_t at, const Block& block) {
  const auto bytes = EncodeBlock(block);
  std::memcpy(own_.Data() + at, bytes.data(), bytes.size());
}

}  // namespace vx::audioserver
