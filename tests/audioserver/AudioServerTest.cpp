// The server's protocol handling in this process, with hand-built requests: what comes from
// the player (descriptors, offsets, lengths, sizes, datagrams) is checked before use, and a
// request that does not fit is refused without harm to the song or the connection.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>

#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "audioserver/AudioServer.h"
#include "audioserver/MessageChannel.h"
#include "audioserver/SharedRegion.h"
#include "platform/acm/AcmFormat.h"
#include "support/TestFolder.h"

namespace vx::audioserver {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRegionSize = 4096;
constexpr std::uint32_t kChunk = 2048 * 2 + 100;

Request SetData(SetDataKind kind, std::uint32_t value = 0) {
  return {MessageKind::kSetData, static_cast<std::uint32_t>(kind), value};
}

// A server bound to a player region made here, as the player would bind it.
class AudioServerProtocol : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player_.Create("test-player", kRegionSize));
    AudioServer::Reply reply = server_.Handle(SetData(SetDataKind::kBind), player_.ReadOnlyDescriptor());
    ASSERT_EQ(reply.value, 1u);
    ASSERT_TRUE(serverRegion_.Adopt(std::move(reply.fd)));
  }

  std::uint32_t Ask(const Request& request) { return server_.Handle(request, UniqueFd()).value; }

  // An MS ADPCM song's format record at offset `at` of the player's region.
  std::uint32_t PutFormat(std::uint32_t at) {
    const Bytes record = acm::MsAdpcmFormat(2, 44100).Bytes();
    std::memcpy(player_.Data() + at, record.data(), record.size());
    return static_cast<std::uint32_t>(record.size());
  }

  OwnedRegion player_;
  AudioServer server_;
  PeerRegion serverRegion_;
};

TEST_F(AudioServerProtocol, BindTakesOnlyOneSealedRegion) {
  // Bound once already: a second player region is refused.
  OwnedRegion other;
  ASSERT_TRUE(other.Create("other", kRegionSize));
  EXPECT_EQ(server_.Handle(SetData(SetDataKind::kBind), other.ReadOnlyDescriptor()).value, 0u);

  // A fresh server: no descriptor, a plain file, a pipe are no regions it can trust.
  const std::string file = vx::test::TestFolder() + "/plain";
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);
  AudioServer fresh;
  EXPECT_EQ(fresh.Handle(SetData(SetDataKind::kBind), UniqueFd()).value, 0u);
  EXPECT_EQ(fresh.Handle(SetData(SetDataKind::kBind),
                         UniqueFd(open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))).value,
            0u);
  EXPECT_EQ(fresh.Handle(SetData(SetDataKind::kBind), std::move(readEnd)).value, 0u);
  // Until bound, nothing else is taken.
  EXPECT_EQ(fresh.Handle(SetData(SetDataKind::kChunkSize, kChunk), UniqueFd()).value, 0u);
  EXPECT_EQ(fresh.Handle({MessageKind::kGetData, 0, 0}, UniqueFd()).value, 0u);
}

TEST_F(AudioServerProtocol, RefusesOffsetsAndLengthsOutsideThePlayersRegion) {
  const std::uint32_t max = std::numeric_limits<std::uint32_t>::max();
  EXPECT_EQ(Ask(SetData(SetDataKind::kChunkSize, 0)), 0u);
  EXPECT_EQ(Ask(SetData(SetDataKind::kChunkSize, kMaxChunkSize + 1)), 0u);
  EXPECT_EQ(Ask(SetData(SetDataKind::kChunkSize, kChunk)), 1u);
  // Nothing is open yet.
  EXPECT_EQ(Ask({MessageKind::kGetData, 0, 0}), 0u);
  EXPECT_EQ(Ask({MessageKind::kSeekNext, 100, 0}), 0u);

  const std::uint32_t length = PutFormat(kRegionSize - 64);
  for (const Request& bad : {Request{MessageKind::kOpenSong, length, kRegionSize - length + 1},
                             Request{MessageKind::kOpenSong, length, kRegionSize},
                             Request{MessageKind::kOpenSong, length, max},
                             Request{MessageKind::kOpenSong, max, kRegionSize - 64},
                             Request{MessageKind::kOpenSong, 0, 0}}) {
    EXPECT_EQ(Ask(bad), 0u) << bad.wParam << " bytes at " << bad.lParam;
  }
  const std::uint32_t output = Ask({MessageKind::kOpenSong, length, kRegionSize - 64});
  ASSERT_NE(output, 0u);

  // The format information block lies inside the server's region, and so do the record and
  // the output buffer it describes.
  const std::uint32_t infoAt = Ask({MessageKind::kGetData, 0, 0});
  std::uint8_t block[kBlockBytes];
  ASSERT_TRUE(serverRegion_.Read(infoAt, kBlockBytes, block));
  const FormatInfoBlock info = DecodeFormatInfo(block);
  Bytes record(info.formatLength);
  ASSERT_TRUE(serverRegion_.Read(info.formatAddress, info.formatLength, record.data()));
  EXPECT_EQ(record, riff::WaveFormat::Pcm16(2, 44100).Bytes());
  EXPECT_NE(serverRegion_.View(output, info.decodedMaximum), nullptr);

  for (const Request& bad : {Request{MessageKind::kSeekNext, 0, 0},
                             Request{MessageKind::kSeekNext, kChunk + 1, 0},
                             Request{MessageKind::kSeekNext, 16, kRegionSize - 15},
                             Request{MessageKind::kSeekNext, 16, max - 8},
                             Request{MessageKind::kSeekNext, kChunk, max}}) {
    EXPECT_EQ(Ask(bad), 0u) << bad.wParam << " bytes at " << bad.lParam;
  }
  // Kinds and variants nobody sends are refused too.
  EXPECT_EQ(Ask({MessageKind::kSeekFirst, 0, 0}), 0u);
  EXPECT_EQ(Ask({static_cast<MessageKind>(99), 0, 0}), 0u);
  EXPECT_EQ(Ask(SetData(static_cast<SetDataKind>(7))), 0u);
  // The refusals left the song open: a good request still decodes.
  const std::uint32_t resultAt = Ask({MessageKind::kSeekNext, 2048, 0});
  ASSERT_NE(resultAt, 0u);
  ASSERT_TRUE(serverRegion_.Read(resultAt, kBlockBytes, block));
  EXPECT_EQ(DecodeDecodeResult(block).consumed, 2048u);
  EXPECT_FALSE(server_.Finished());
}

TEST_F(AudioServerProtocol, RefusedSongClosesThePreviousOne) {
  ASSERT_EQ(Ask(SetData(SetDataKind::kChunkSize, kChunk)), 1u);
  const std::uint32_t length = PutFormat(0);
  ASSERT_NE(Ask({MessageKind::kOpenSong, length, 0}), 0u);
  // Garbage where the next song's record should be: refused, and the old song is gone,
  // so its decoder cannot be fed the new song's bytes.
  std::memset(player_.Data(), 0xff, 64);
  EXPECT_EQ(Ask({MessageKind::kOpenSong, 18, 0}), 0u);
  EXPECT_EQ(Ask({MessageKind::kGetData, 0, 0}), 0u);
  EXPECT_EQ(Ask({MessageKind::kSeekNext, 2048, 0}), 0u);
}

// The serving loop over a real socket pair, the server on its own thread: a datagram of the
// wrong size is answered with a refusal and the conversation goes on; finish ends the loop.
TEST(AudioServerChannel, MalformedDatagramIsRefusedAndServingGoesOn) {
  MessageChannel player;
  MessageChannel serverEnd;
  ASSERT_TRUE(MessageChannel::MakePair(player, serverEnd));
  std::thread serving([&serverEnd] {
    AudioServer server;
    server.Serve(serverEnd);
  });
  OwnedRegion region;
  ASSERT_TRUE(region.Create("test-player", kRegionSize));
  UniqueFd noFd;
  std::uint32_t answer = 99;

  const std::uint8_t shortRequest[5] = {1, 0, 0, 0, 1};
  ASSERT_EQ(send(player.Fd(), shortRequest, sizeof(shortRequest), MSG_NOSIGNAL), 5);
  ASSERT_EQ(player.ReceiveAnswer(answer, noFd, kWaitMs), ChannelStatus::kOk);
  EXPECT_EQ(answer, 0u);

  UniqueFd handover = region.ReadOnlyDescriptor();
  ASSERT_TRUE(player.SendRequest(SetData(SetDataKind::kBind), handover.Get()));
  UniqueFd serverRegionFd;
  ASSERT_EQ(player.ReceiveAnswer(answer, serverRegionFd, kWaitMs), ChannelStatus::kOk);
  EXPECT_EQ(answer, 1u);
  PeerRegion serverRegion;
  EXPECT_TRUE(serverRegion.Adopt(std::move(serverRegionFd)));

  ASSERT_TRUE(player.SendRequest(SetData(SetDataKind::kFinish)));
  ASSERT_EQ(player.ReceiveAnswer(answer, noFd, kWaitMs), ChannelStatus::kOk);
  EXPECT_EQ(answer, 1u);
  serving.join();  // returns only because the loop ended
}

// The serving loop also ends when the player goes away without a word.
TEST(AudioServerChannel, ServingEndsWhenThePlayerGoesAway) {
  MessageChannel player;
  MessageChannel serverEnd;
  ASSERT_TRUE(MessageChannel::MakePair(player, serverEnd));
  std::thread serving([&serverEnd] {
    AudioServer server;
    server.Serve(serverEnd);
  });
  player.Close();
  serving.join();
}

}  // namespace
}  // namespace vx::audioserver
