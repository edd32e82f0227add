// The player's client against the real vxacmsvr built beside the tests: songs of every
// compressed kind decode exactly as ffmpeg decodes them, fed the way the engine feeds them;
// a server that is missing, never comes up, hangs or dies turns into a failed call.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AudioServerSongs.h"
#include "audioserver/ServerProtocol.h"
#include "platform/riff/WaveFile.h"
#include "player/engine/CAudioServerClient.h"
#include "support/TestFolder.h"

namespace vx::player {
namespace {

using audioserver::test::Bytes;
using audioserver::test::FfmpegDecode;
using audioserver::test::FirstDifferentSample;
using audioserver::test::TestSong;
using namespace std::chrono_literals;

// True when pid (-1: any child) is neither running nor a zombie waiting to be reaped by us.
bool IsGone(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD; }

// Opens the song on the server and feeds its data as the engine does: chunkSize bytes
// from the read position, advancing by what the server consumed (so untaken bytes are
// offered again), until a read comes back short. Answers the decoded bytes.
Bytes DecodeLikeEngine(CAudioServerClient& client, const TestSong& song, std::uint32_t chunkSize) {
  Bytes decoded;
  EXPECT_TRUE(client.SetChunkSize(chunkSize));
  EXPECT_TRUE(client.OpenSong(song.formatRecord));
  std::uint32_t maximum = 0;
  Bytes format;
  EXPECT_EQ(client.GetOutputFormat(maximum, format), AudioServerLink::Status::kOk);
  EXPECT_GE(format.size(), 16u);
  EXPECT_EQ(format[0], 1);  // 16-bit PCM comes out
  EXPECT_EQ(format[14], 16);
  Bytes out(maximum);
  std::size_t position = 0;
  while (position < song.data.size()) {
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(chunkSize, song.data.size() - position));
    std::uint32_t consumed = 0;
    std::uint32_t produced = 0;
    const auto status = client.Decode(song.data.data() + position, count, consumed, out.data(),
                                      maximum, produced);
    if (status != AudioServerLink::Status::kOk) {
      ADD_FAILURE() << "decode failed at " << position;
      break;
    }
    if (consumed == 0 && count == chunkSize) {
      ADD_FAILURE() << "a whole chunk was not taken at " << position;
      break;
    }
    decoded.insert(decoded.end(), out.begin(), out.begin() + produced);
    position += consumed;
    if (count < chunkSize) break;
  }
  return decoded;
}

void ExpectDecodesLikeFfmpeg(CAudioServerClient& client, const TestSong& song,
                             std::uint32_t chunkSize) {
  const Bytes reference = FfmpegDecode(song.path);
  ASSERT_FALSE(reference.empty());
  const Bytes ours = DecodeLikeEngine(client, song, chunkSize);
  EXPECT_EQ(ours.size(), reference.size()) << "chunk size " << chunkSize;
  EXPECT_EQ(FirstDifferentSample(ours, reference), std::min(ours.size(), reference.size()) / 2)
      << "chunk size " << chunkSize;
}

void WriteScript(const std::string& folder, const std::string& body) {
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + audioserver::kServerProgramName;
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  chmod(path.c_str(), 0755);
}

TEST(AudioServerClient, DecodesAdpcmSongsLikeFfmpegInUnevenChunks) {
  const auto ms = audioserver::test::MakeAdpcmSong("ms.wav", "adpcm_ms", 2);
  const auto ima = audioserver::test::MakeAdpcmSong("ima.wav", "adpcm_ima_wav", 2);
  ASSERT_TRUE(ms && ima);
  CAudioServerClient client;
  ASSERT_EQ(client.Start(VX_BIN_DIR, 1), CAudioServerClient::kStarted);
  // The engine's own chunk, then sizes that cut blocks anywhere (each holds one block at least).
  for (const std::uint32_t chunk : {ms->EngineChunkSize(), 3001u, 7777u}) {
    ExpectDecodesLikeFfmpeg(client, *ms, chunk);
  }
  for (const std::uint32_t chunk : {ima->EngineChunkSize(), 2049u, 10000u}) {
    ExpectDecodesLikeFfmpeg(client, *ima, chunk);
  }
  const pid_t server = client.ServerProcessId();
  client.Finish();
  EXPECT_FALSE(client.IsBound());
  EXPECT_TRUE(IsGone(server));
  EXPECT_FALSE(std::filesystem::exists(audioserver::ServerSocketPath(1)));
}

// Start on one thread, decoding on another (the engine's), Finish back on the first.
TEST(AudioServerClient, DecodesMp3InWaveAfterAnAdpcmSongOnAnotherThread) {
  const auto ima = audioserver::test::MakeAdpcmSong("ima.wav", "adpcm_ima_wav", 1);
  const auto mp3 = audioserver::test::MakeMp3Song("mp3.wav", 3);
  ASSERT_TRUE(ima && mp3);
  CAudioServerClient client;
  ASSERT_EQ(client.Start(VX_BIN_DIR, 2), CAudioServerClient::kStarted);
  std::thread engine([&] {
    // The MP3 song needs a larger output buffer than the ADPCM one: the server's region
    // grows between songs and the client must follow it.
    ExpectDecodesLikeFfmpeg(client, *ima, ima->EngineChunkSize());
    for (const std::uint32_t chunk : {1584u, 1000u, 4177u}) ExpectDecodesLikeFfmpeg(client, *mp3, chunk);
  });
  engine.join();
  client.Finish();
}

TEST(AudioServerClient, RefusedSongLeavesTheServerUsable) {
  const auto ms = audioserver::test::MakeAdpcmSong("ms.wav", "adpcm_ms", 1);
  ASSERT_TRUE(ms);
  CAudioServerClient client;
  ASSERT_EQ(client.Start(VX_BIN_DIR, 1), CAudioServerClient::kStarted);
  ASSERT_TRUE(client.SetChunkSize(ms->EngineChunkSize()));
  // Plain PCM is not the server's business; nor is a record too short to be one.
  const std::vector<std::uint8_t> pcm = riff::WaveFormat::Pcm16(2, 44100).Bytes();
  EXPECT_FALSE(client.OpenSong(pcm));
  EXPECT_FALSE(client.OpenSong({0x02, 0x00, 0x02}));
  EXPECT_EQ(client.OutputAddress(), 0u);
  std::uint32_t maximum = 0;
  Bytes format;
  EXPECT_EQ(client.GetOutputFormat(maximum, format), AudioServerLink::Status::kBlockUnreadable);
  // A chunk smaller than one block could never be decoded whole: refused up front.
  ASSERT_TRUE(client.SetChunkSize(ms->blockAlign - 1));
  EXPECT_FALSE(client.OpenSong(ms->formatRecord));
  EXPECT_TRUE(client.IsBound());
  ExpectDecodesLikeFfmpeg(client, *ms, ms->EngineChunkSize());
}

TEST(AudioServerClient, StartReportsAMissingOrSilentServer) {
  CAudioServerClient client(500ms);
  EXPECT_EQ(client.Start(vx::test::TestFolder() + "/nowhere", 1), CAudioServerClient::kNoProgram);
  const std::string notExecutable = vx::test::TestFolder() + "/plain";
  std::filesystem::create_directories(notExecutable);
  std::ofstream(notExecutable + "/" + audioserver::kServerProgramName) << "not a program\n";
  EXPECT_EQ(client.Start(notExecutable, 1), CAudioServerClient::kNoProgram);

  // Never listens: the wait ends at the bound and the server is killed and reaped.
  const std::string sleeper = vx::test::TestFolder() + "/sleeper";
  WriteScript(sleeper, "sleep 100");
  EXPECT_EQ(client.Start(sleeper, 1), CAudioServerClient::kNoServerWindow);
  EXPECT_EQ(client.ServerProcessId(), -1);
  // Ends at once: no need to wait for the bound; reaped as well.
  const std::string quitter = vx::test::TestFolder() + "/quitter";
  WriteScript(quitter, "exit 0");
  EXPECT_EQ(client.Start(quitter, 1), CAudioServerClient::kNoServerWindow);
  EXPECT_FALSE(client.IsBound());
  EXPECT_TRUE(IsGone(-1)) << "a child process is left behind";
}

TEST(AudioServerClient, ServerThatDiesOrHangsMidSongFailsTheCall) {
  const auto ms = audioserver::test::MakeAdpcmSong("ms.wav", "adpcm_ms", 1);
  ASSERT_TRUE(ms);
  for (const int signal : {SIGKILL, SIGSTOP}) {
    // Long enough for the server to come up on a loaded machine; a stopped one costs that.
    CAudioServerClient client(3000ms);
    ASSERT_EQ(client.Start(VX_BIN_DIR, 1), CAudioServerClient::kStarted);
    const std::uint32_t chunk = ms->EngineChunkSize();
    ASSERT_TRUE(client.SetChunkSize(chunk));
    ASSERT_TRUE(client.OpenSong(ms->formatRecord));
    std::uint32_t maximum = 0;
    Bytes format;
    ASSERT_EQ(client.GetOutputFormat(maximum, format), AudioServerLink::Status::kOk);
    Bytes out(maximum);
    std::uint32_t consumed = 0;
    std::uint32_t produced = 0;
    ASSERT_EQ(client.Decode(ms->data.data(), chunk, consumed, out.data(), maximum, produced),
              AudioServerLink::Status::kOk);

    const pid_t server = client.ServerProcessId();
    ASSERT_EQ(kill(server, signal), 0);
    EXPECT_EQ(client.Decode(ms->data.data() + consumed, chunk, consumed, out.data(), maximum,
                            produced),
              AudioServerLink::Status::kNoAnswer)
        << "signal " << signal;
    EXPECT_FALSE(client.IsBound());
    EXPECT_TRUE(IsGone(server));
    // Every later call fails at once; finishing is harmless.
    EXPECT_FALSE(client.OpenSong(ms->formatRecord));
    EXPECT_EQ(client.GetOutputFormat(maximum, format), AudioServerLink::Status::kBlockUnreadable);
    client.Finish();
  }
}

TEST(AudioServerClient, DestructorFinishesTheServer) {
  pid_t server = -1;
  {
    CAudioServerClient client;
    ASSERT_EQ(client.Start(VX_BIN_DIR, 3), CAudioServerClient::kStarted);
    server = client.ServerProcessId();
    ASSERT_GT(server, 0);
  }
  EXPECT_TRUE(IsGone(server));
}

}  // namespace
}  // namespace vx::player
