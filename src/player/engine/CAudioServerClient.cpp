#include "player/engine/CAudioServerClient.h"

#include <sys/socket.h>

#include <cstring>
#include <thread>

#include "audioserver/ServerProtocol.h"

namespace vx::player {
namespace {

using audioserver::DecodeResultBlock;
using audioserver::FormatInfoBlock;
using audioserver::kBlockBytes;
using audioserver::MessageKind;
using audioserver::Request;
using audioserver::SetDataKind;
using audioserver::UniqueFd;

// Where the player puts the bytes it offers in its own region: one staging area, reused by
// OpenSong and SeekNext (the server copies the format block before it answers).
constexpr std::uint32_t kStagingAt = 0;
constexpr std::chrono::milliseconds kConnectRetry{5};

Request SetData(SetDataKind kind, std::uint32_t value = 0) {
  return {MessageKind::kSetData, static_cast<std::uint32_t>(kind), value};
}

// The process that listens on the other end of a connected socket.
pid_t PeerProcess(int socket) {
  ucred credentials{};
  socklen_t size = sizeof(credentials);
  if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return -1;
  return credentials.pid;
}

}  // namespace

CAudioServerClient::CAudioServerClient(std::chrono::milliseconds wait) : wait_(wait) {}

CAudioServerClient::~CAudioServerClient() { Finish(); }

int CAudioServerClient::Start(const std::string& programFolder, int instance) {
  Finish();
  if (!own_.Create("vxplayer", 4096)) return kNoChannel;
  if (!server_.Spawn(programFolder + "/" + audioserver::kServerProgramName, instance)) {
    own_.Release();
    return kNoProgram;
  }
  if (!WaitForServer(audioserver::ServerSocketPath(instance))) {
    Drop();
    return kNoServerWindow;
  }
  // The server may only read the player's memory: it gets a read-only descriptor.
  UniqueFd handover = own_.ReadOnlyDescriptor();
  std::uint32_t answer = 0;
  UniqueFd serverRegion;
  if (!handover.IsValid() ||
      !Exchange(SetData(SetDataKind::kBind), answer, handover.Get(), &serverRegion) ||
      answer == audioserver::kRefused || !serverRegion_.Adopt(std::move(serverRegion))) {
    Drop();
    return kNoHandover;
  }
  return kStarted;
}

// Waits until our own server listens at its name. A socket left there by an older server,
// or taken by another process, does not count: the listener must be the process we started.
bool CAudioServerClient::WaitForServer(const std::string& socketPath) {
  const auto deadline = std::chrono::steady_clock::now() + wait_;
  for (;;) {
    if (!server_.IsRunning()) return false;
    audioserver::MessageChannel channel;
    if (channel.Connect(socketPath) && PeerProcess(channel.Fd()) == server_.Pid()) {
      channel_ = std::move(channel);
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kConnectRetry);
  }
}

bool CAudioServerClient::SetChunkSize(std::uint32_t chunkSize) {
  if (!IsBound() || chunkSize == 0 || chunkSize > audioserver::kMaxChunkSize) return false;
  if (!own_.Reserve(kStagingAt + chunkSize)) return false;
  std::uint32_t answer = 0;
  if (!Exchange(SetData(SetDataKind::kChunkSize, chunkSize), answer) ||
      answer == audioserver::kRefused) {
    return false;
  }
  chunkSize_ = chunkSize;
  return true;
}

bool CAudioServerClient::OpenSong(const std::vector<std::uint8_t>& formatRecord) {
  outputAddress_ = 0;
  if (!IsBound() || formatRecord.size() > audioserver::kMaxFormatLength) return false;
  if (!own_.Reserve(kStagingAt + formatRecord.size())) return false;
  if (!formatRecord.empty()) {
    std::memcpy(own_.Data() + kStagingAt, formatRecord.data(), formatRecord.size());
  }
  const auto length = static_cast<std::uint32_t>(formatRecord.size());
  std::uint32_t answer = 0;
  if (!Exchange({MessageKind::kOpenSong, length, kStagingAt}, answer)) return false;
  outputAddress_ = answer;
  return answer != audioserver::kRefused;
}

AudioServerLink::Status CAudioServerClient::GetOutputFormat(
    std::uint32_t& decodedMaximum, std::vector<std::uint8_t>& formatRecord) {
  std::uint32_t answer = 0;
  std::uint8_t bytes[kBlockBytes];
  if (!IsBound() || !Exchange({MessageKind::kGetData, 0, 0}, answer) ||
      answer == audioserver::kRefused || !serverRegion_.Read(answer, kBlockBytes, bytes)) {
    return Status::kBlockUnreadable;
  }
  const FormatInfoBlock info = audioserver::DecodeFormatInfo(bytes);
  const std::uint8_t* format = serverRegion_.View(info.formatAddress, info.formatLength);
  if (format == nullptr) return Status::kDataUnreadable;
  formatRecord.assign(format, format + info.formatLength);
  decodedMaximum = info.decodedMaximum;
  return Status::kOk;
}

AudioServerLink::Status CAudioServerClient::Decode(const std::uint8_t* bytes, std::uint32_t count,
                                                   std::uint32_t& consumed, std::uint8_t* out,
                                                   std::uint32_t outCapacity,
                                                   std::uint32_t& produced) {
  consumed = 0;
  produced = 0;
  if (!IsBound() || outputAddress_ == 0 || bytes == nullptr || count == 0 || count > chunkSize_) {
    return Status::kNoAnswer;
  }
  std::memcpy(own_.Data() + kStagingAt, bytes, count);
  std::uint32_t answer = 0;
  if (!Exchange({MessageKind::kSeekNext, count, kStagingAt}, answer) ||
      answer == audioserver::kRefused) {
    return Status::kNoAnswer;
  }
  std::uint8_t block[kBlockBytes];
  if (!serverRegion_.Read(answer, kBlockBytes, block)) return Status::kBlockUnreadable;
  const DecodeResultBlock result = audioserver::DecodeDecodeResult(block);
  if (result.consumed > count) return Status::kBlockUnreadable;
  if (result.produced > outCapacity || (result.produced > 0 && out == nullptr) ||
      !serverRegion_.Read(outputAddress_, result.produced, out)) {
    return Status::kDataUnreadable;
  }
  consumed = result.consumed;
  produced = result.produced;
  return Status::kOk;
}

void CAudioServerClient::Finish() {
  if (IsBound()) {
    std::uint32_t answer = 0;
    Exchange(SetData(SetDataKind::kFinish), answer);
    channel_.Close();
  }
  server_.Reap(wait_);
  Drop();
}

bool CAudioServerClient::Exchange(const Request& request, std::uint32_t& answer, int fd,
                                  UniqueFd* answerFd) {
  UniqueFd received;
  const int waitMs = static_cast<int>(wait_.count());
  if (!channel_.SendRequest(request, fd) ||
      channel_.ReceiveAnswer(answer, received, waitMs) != audioserver::ChannelStatus::kOk) {
    // Dead, hung or talking nonsense: the server is of no further use.
    Drop();
    return false;
  }
  if (answerFd != nullptr) *answerFd = std::move(received);
  return true;
}

void CAudioServerClient::Drop() {
  channel_.Close();
  server_.Kill();
  serverRegion_.Release();
  own_.Release();
  chunkSize_ = 0;
  outputAddress_ = 0;
}

}  // namespace vx::player
