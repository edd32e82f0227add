// The media control interpreter on virtual devices: replies against the disc's table of
// contents and cd-info, samples on the tape, door and modes, wave files.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <regex>
#include <thread>

#include "platform/acm/AcmFormat.h"
#include "platform/acm/AcmStream.h"
#include "platform/cdrom/CdDisc.h"
#include "platform/cdrom/CdTime.h"
#include "platform/cdrom/TestDisc.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciSession.h"
#include "platform/mci/MciTestSupport.h"
#include "support/TestFolder.h"

namespace vx::mci {
namespace {

using wave::test::Eventually;

std::string Send(MciSession& session, const std::string& command) {
  std::string reply;
  const unsigned rc = session.SendString(command, reply);
  EXPECT_EQ(rc, kMciOk) << command;
  return reply;
}

unsigned Fails(MciSession& session, const std::string& command) {
  std::string reply;
  return session.SendString(command, reply);
}

// LSN of each track as cd-info lists it; empty when cd-info is not installed.
std::vector<long> CdInfoStarts(const std::string& cue) {
  const std::string command =
      "cd-info --no-device-info --no-cddb --no-disc-mode -i '" + cue + "' 2>/dev/null";
  std::vector<long> starts;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return starts;
  const std::regex row(R"(^\s*(\d+): \d\d:\d\d:\d\d\s+(\d+) (\w+))");
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::cmatch match;
    if (std::regex_search(line, match, row) && std::stoi(match[1]) != 170) {
      starts.push_back(std::stol(match[2]));
    }
  }
  pclose(pipe);
  return starts;
}

bool WaitUntilStopped(MciSession& session, const std::string& alias) {
  return Eventually([&] {
    std::string mode;
    return session.SendString("status " + alias + " mode", mode) == kMciOk && mode == "stopped";
  });
}

// The timeline of the test disc, as the CD driver makes it (no toc when the disc is bad).
Timeline TestDiscTimeline() {
  Timeline cd;
  cd.unitsPerSecond = 75;
  cd.origin = 150;
  cd.length = 692;
  if (const auto disc = cdrom::CdDisc::Open(vx::test::WriteTestDisc(vx::test::TestFolder()))) {
    cd.toc = std::make_shared<cdrom::CdToc>(disc->Toc());
  }
  return cd;
}

TEST(MciTime, FormatsAndParsesEveryTimeFormat) {
  const Timeline cd = TestDiscTimeline();
  ASSERT_TRUE(cd.toc);

  EXPECT_EQ(FormatPosition(TimeFormat::kTmsf, 225 + 76, cd), "02:00:01:01");
  EXPECT_EQ(FormatPosition(TimeFormat::kMsf, 225, cd), "00:05:00");
  EXPECT_EQ(FormatPosition(TimeFormat::kMilliseconds, 225, cd), "5000");
  EXPECT_EQ(FormatLength(TimeFormat::kTmsf, 167, cd), "00:02:17");
  EXPECT_EQ(PackPosition(TimeFormat::kTmsf, 225 + 76, cd), 0x01010002u);
  EXPECT_EQ(PackLength(TimeFormat::kMsf, 167, cd), 0x00110200u);

  long position = -1;
  EXPECT_TRUE(ParsePosition(TimeFormat::kTmsf, "3", cd, position));
  EXPECT_EQ(position, 450);
  EXPECT_TRUE(ParsePosition(TimeFormat::kMsf, "00:05:00", cd, position));
  EXPECT_EQ(position, 225);
  EXPECT_TRUE(ParsePosition(TimeFormat::kMilliseconds, "5000", cd, position));
  EXPECT_EQ(position, 225);
  EXPECT_TRUE(UnpackPosition(TimeFormat::kTmsf, 0x01010002u, cd, position));
  EXPECT_EQ(position, 301);
  // Unknown tracks, seconds past 59, frames past 74 and stray text are refused.
  EXPECT_FALSE(ParsePosition(TimeFormat::kTmsf, "9", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMsf, "00:60:00", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMsf, "00:00:75", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMilliseconds, "12x", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMilliseconds, "", cd, position));
}

TEST(MciTime, NumbersTooLargeForTheMediumAreOutOfRange) {
  // Each of these wraps around to a small position when the arithmetic overflows.
  Timeline wave;
  wave.unitsPerSecond = 44100;
  wave.length = 44100;
  long position = -1;
  EXPECT_FALSE(ParsePosition(TimeFormat::kMilliseconds, "418293516410648", wave, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMilliseconds, "9223372036854775807", wave, position));
  EXPECT_TRUE(ParsePosition(TimeFormat::kMilliseconds, "1000", wave, position));
  EXPECT_EQ(position, 44100);

  const Timeline cd = TestDiscTimeline();
  ASSERT_TRUE(cd.toc);
  EXPECT_FALSE(ParsePosition(TimeFormat::kMsf, "4099276460824345:00:00", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kTmsf, "2:4099276460824345:00:00", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kMilliseconds, "9223372036854775807", cd, position));
  EXPECT_FALSE(ParsePosition(TimeFormat::kTmsf, "4294967298", cd, position));  // 2 + 2^32
}

TEST(MciCdAudio, RepliesAgreeWithTheTableOfContentsAndCdInfo) {
  test::VirtualMachine machine;
  const auto disc = cdrom::CdDisc::Open(machine.Cue());
  ASSERT_NE(disc, nullptr);
  const cdrom::CdToc& toc = disc->Toc();
  MciSession session;
  Send(session, "open D: type cdaudio alias cdplay shareable");
  Send(session, "set cdplay time format msf");
  EXPECT_EQ(Send(session, "status cdplay number of tracks"), "4");
  EXPECT_EQ(Send(session, "info cdplay identity"), toc.Identity());
  EXPECT_EQ(Send(session, "status cdplay mode"), "stopped");
  EXPECT_EQ(Send(session, "status cdplay media present"), "true");

  const std::vector<long> cdInfo = CdInfoStarts(machine.Cue());
  const MciDeviceId id = session.DeviceId("CDPLAY");
  ASSERT_NE(id, 0u);
  for (const cdrom::CdTrack& track : toc.tracks) {
    SCOPED_TRACE(track.number);
    const std::string n = std::to_string(track.number);
    const cdrom::Msf start = cdrom::FramesToMsf(track.startLsn + 150);
    const cdrom::Msf length = cdrom::FramesToMsf(track.lengthFrames);
    char text[16];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", start.minutes, start.seconds,
                  start.frames);
    EXPECT_EQ(Send(session, "status cdplay position track " + n), text);
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", length.minutes, length.seconds,
                  length.frames);
    EXPECT_EQ(Send(session, "status cdplay length track " + n), text);
    EXPECT_EQ(Send(session, "status cdplay type track " + n), track.audio ? "audio" : "other");
    if (!cdInfo.empty()) {
      ASSERT_EQ(cdInfo.size(), toc.tracks.size());
      EXPECT_EQ(cdInfo[static_cast<std::size_t>(track.number - 1)], track.startLsn);
    }
    // The typed front end answers the same, packed.
    std::uint32_t packed = 0;
    ASSERT_EQ(session.StatusTrackPosition(id, track.number, packed), kMciOk);
    EXPECT_EQ(packed, static_cast<std::uint32_t>(start.minutes | start.seconds << 8 |
                                                 start.frames << 16));
    bool audio = false;
    ASSERT_EQ(session.StatusTrackIsAudio(id, track.number, audio), kMciOk);
    EXPECT_EQ(audio, track.audio);
  }
  EXPECT_EQ(Fails(session, "status cdplay length track 9"), kBadTrack);

  // tmsf: seeking to a track number lands on its start; lengths stay minutes:seconds:frames.
  Send(session, "set cdplay time format tmsf");
  Send(session, "seek cdplay to 3");
  EXPECT_EQ(Send(session, "status cdplay position"), "03:00:00:00");
  EXPECT_EQ(Send(session, "status cdplay current track"), "3");
  EXPECT_EQ(Send(session, "status cdplay length track 3"), "00:02:17");
  EXPECT_EQ(Send(session, "status cdplay length"), "00:09:17");
  Send(session, "set cdplay time format ms");
  EXPECT_EQ(Send(session, "status cdplay position"), "8000");
  Send(session, "seek cdplay to start");
  EXPECT_EQ(Send(session, "status cdplay position"), "2000");
  // Playing from the data track is refused.
  Send(session, "set cdplay time format tmsf");
  EXPECT_EQ(Fails(session, "play cdplay from 4"), kNotAudioTrack);
  Send(session, "close cdplay");
}

TEST(MciCdAudio, TypedCommandsDriveTheSameDevice) {
  test::VirtualMachine machine;
  MciSession session;
  MciDeviceId id = 0;
  ASSERT_EQ(session.Open({kCdAudioType, "D:", "CD12345:"}, id), kMciOk);
  EXPECT_EQ(session.Open({kCdAudioType, "D:", "cd12345:"}, id), kAliasInUse);
  ASSERT_EQ(session.SetTimeFormat(id, TimeFormat::kMsf), kMciOk);
  int tracks = 0;
  ASSERT_EQ(session.StatusNumberOfTracks(id, tracks), kMciOk);
  EXPECT_EQ(tracks, 4);
  std::uint32_t start2 = 0, start3 = 0, length2 = 0;
  ASSERT_EQ(session.StatusTrackPosition(id, 2, start2), kMciOk);
  ASSERT_EQ(session.StatusTrackPosition(id, 3, start3), kMciOk);
  ASSERT_EQ(session.StatusTrackLength(id, 2, length2), kMciOk);
  EXPECT_EQ(start2, 0x00000500u);   // 00:05:00 = LSN 225 + 150
  EXPECT_EQ(length2, 0x00000300u);  // 00:03:00
  ASSERT_EQ(session.Seek(id, start3), kMciOk);
  std::uint32_t position = 0;
  ASSERT_EQ(session.StatusPosition(id, position), kMciOk);
  EXPECT_EQ(position, start3);
  ASSERT_EQ(session.Play(id, start2, start3), kMciOk);
  EXPECT_TRUE(Eventually([&] {
    MciMode mode = MciMode::kNotReady;
    return session.StatusMode(id, mode) == kMciOk && mode == MciMode::kStopped;
  }));
  ASSERT_EQ(session.StatusPosition(id, position), kMciOk);
  EXPECT_EQ(position, start3);
  std::string identity;
  ASSERT_EQ(session.InfoIdentity(id, identity), kMciOk);
  EXPECT_EQ(Send(session, "info cd12345: identity"), identity);
  EXPECT_EQ(session.Seek(id, 0x00003b00u), kBadPosition);  // 00:59:00, past the lead-out
  ASSERT_EQ(session.Close(id), kMciOk);
  EXPECT_EQ(session.Close(id), kUnknownAlias);
  EXPECT_EQ(session.DeviceId("CD12345:"), 0u);
}

TEST(MciCdAudio, PlayingTrackTwoPutsExactlyItsSamplesOnTheTape) {
  test::VirtualMachine machine;
  {
    MciSession session;
    Send(session, "open D: type cdaudio alias cdplay shareable");
    Send(session, "set cdplay time format tmsf");
    Send(session, "play cdplay from 2 to 3");
    ASSERT_TRUE(WaitUntilStopped(session, "cdplay"));
    EXPECT_EQ(Send(session, "status cdplay position"), "03:00:00:00");
    Send(session, "close cdplay");
  }
  const auto tape = wave::test::ReadTape(machine.Tape());
  ASSERT_TRUE(tape);
  const long frames = 225 * 588;
  ASSERT_EQ(tape->samples.size(), static_cast<std::size_t>(frames) * 4);
  long mismatches = 0;
  for (long frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < 2; ++channel) {
      const std::size_t at = static_cast<std::size_t>(frame * 4 + channel * 2);
      const auto sample = static_cast<std::int16_t>(tape->samples[at] | tape->samples[at + 1] << 8);
      if (sample != vx::test::TestDiscSample(2, frame, channel)) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(MciCdAudio, PlaysToTheChosenOutput) {
  test::VirtualMachine machine("20", 2);
  {
    MciSession session;
    Send(session, "open D: type cdaudio alias cdplay shareable");
    EXPECT_EQ(Fails(session, "set cdplay output x"), kBadParameter);
    Send(session, "set cdplay output 1");
    Send(session, "set cdplay time format tmsf");
    Send(session, "play cdplay from 3 to 4");
    ASSERT_TRUE(WaitUntilStopped(session, "cdplay"));
    EXPECT_EQ(session.SetOutput(session.DeviceId("cdplay") + 100, 0), kUnknownAlias);
    Send(session, "close cdplay");
  }
  const auto first = wave::test::ReadTape(machine.Tape());
  const auto second = wave::test::ReadTape(machine.SecondTape());
  ASSERT_TRUE(second);
  EXPECT_TRUE(!first || first->samples.empty());
  ASSERT_EQ(second->samples.size(), 167u * 588 * 4);
  const auto sample = [&](long frame) {
    const std::size_t at = static_cast<std::size_t>(frame * 4);
    return static_cast<std::int16_t>(second->samples[at] | second->samples[at + 1] << 8);
  };
  EXPECT_EQ(sample(0), vx::test::TestDiscSample(3, 0, 0));
  EXPECT_EQ(sample(1000), vx::test::TestDiscSample(3, 1000, 0));
}

TEST(MciCdAudio, DoorAndModesOnAVirtualTray) {
  test::VirtualMachine machine("1");
  MciSession session;
  Send(session, "open D: type cdaudio alias cdplay shareable");
  EXPECT_EQ(Fails(session, "open D: type cdaudio alias cdplay shareable"), kAliasInUse);
  EXPECT_EQ(Fails(session, "open E: type cdaudio alias other"), kNoSuchDrive);
  EXPECT_EQ(Send(session, "status cdplay mode"), "stopped");

  Send(session, "play cdplay");
  EXPECT_EQ(Send(session, "status cdplay mode"), "playing");
  Send(session, "pause cdplay");
  EXPECT_EQ(Send(session, "status cdplay mode"), "paused");
  Send(session, "play cdplay");
  EXPECT_EQ(Send(session, "status cdplay mode"), "playing");
  Send(session, "stop cdplay");
  EXPECT_EQ(Send(session, "status cdplay mode"), "stopped");

  Send(session, "play cdplay");
  Send(session, "set cdplay door open");
  EXPECT_EQ(Send(session, "status cdplay mode"), "open");
  EXPECT_EQ(Send(session, "status cdplay ready"), "false");
  EXPECT_EQ(Fails(session, "info cdplay identity"), kDeviceNotReady);
  EXPECT_EQ(Fails(session, "play cdplay"), kDeviceNotReady);
  Send(session, "set cdplay door closed");
  EXPECT_EQ(Send(session, "status cdplay mode"), "stopped");
  EXPECT_FALSE(Send(session, "info cdplay identity").empty());

  EXPECT_EQ(Fails(session, "fly cdplay"), kUnknownCommand);
  EXPECT_EQ(Fails(session, "status nothing mode"), kUnknownAlias);
  EXPECT_EQ(Fails(session, "status cdplay colour"), kBadParameter);
  EXPECT_EQ(Fails(session, "open \"waveaudio!unclosed alias x"), kBadCommandText);
  Send(session, "close cdplay");
  EXPECT_EQ(Fails(session, "close cdplay"), kUnknownAlias);
  // Closed aliases can be opened again.
  Send(session, "open D: type cdaudio alias cdplay shareable");
  Send(session, "close cdplay");
}

TEST(MciWaveAudio, PlayingAWaveFilePutsItsSamplesOnTheTape) {
  test::VirtualMachine machine;
  const std::string song = vx::test::TestFolder() + "/song a.wav";
  const auto format = riff::WaveFormat::Pcm16(2, 22050);
  const auto samples = wave::test::CountingFrames(1, 22050);  // one second
  wave::test::WriteWaveFile(song, format, samples);
  {
    MciSession session;
    Send(session, "open \"waveaudio!" + song + "\" alias waverec");
    EXPECT_EQ(Send(session, "status waverec format tag"), "pcm");
    EXPECT_EQ(Send(session, "status waverec samplespersec"), "22050");
    EXPECT_EQ(Send(session, "status waverec bitspersample"), "16");
    Send(session, "set waverec time format ms");
    EXPECT_EQ(Fails(session, "set waverec time format tmsf"), kBadTimeFormat);
    EXPECT_EQ(Send(session, "status waverec length"), "1000");
    Send(session, "play waverec");
    ASSERT_TRUE(WaitUntilStopped(session, "waverec"));
    EXPECT_EQ(Send(session, "status waverec position"), "1000");
    Send(session, "seek waverec to 500");
    EXPECT_EQ(Send(session, "status waverec position"), "500");
    EXPECT_EQ(Fails(session, "seek waverec to 1001"), kBadPosition);
    EXPECT_EQ(Fails(session, "seek waverec to 836587032821295"), kBadPosition);
    Send(session, "close waverec");

    EXPECT_EQ(Fails(session, "open \"waveaudio!" + song + ".missing\" alias waverec"),
              kFileNotFound);
    EXPECT_EQ(Fails(session, "open \"waveaudio!" + machine.Cue() + "\" alias waverec"),
              kInvalidFile);
  }
  const auto tape = wave::test::ReadTape(machine.Tape());
  ASSERT_TRUE(tape);
  EXPECT_EQ(tape->format, format);
  EXPECT_EQ(tape->samples, samples);
}

TEST(MciWaveAudio, AdpcmFilesAreDecodedThroughTheCodecManager) {
  test::VirtualMachine machine;
  // One second of a 441 Hz sine, encoded to MS ADPCM by the codec manager.
  const auto pcm = riff::WaveFormat::Pcm16(1, 22050);
  std::vector<std::uint8_t> samples;
  for (int n = 0; n < 22050; ++n) {
    const auto value = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 441 * n / 22050.0));
    samples.push_back(static_cast<std::uint8_t>(value));
    samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
  }
  const riff::WaveFormat adpcm = acm::MsAdpcmFormat(1, 22050);
  std::unique_ptr<acm::AcmStream> encoder;
  ASSERT_EQ(acm::AcmStream::Open(acm::AcmDriverId::kMsAdpcm, pcm, adpcm, encoder),
            acm::AcmResult::kOk);
  std::vector<std::uint8_t> encoded(encoder->DestinationSizeFor(samples.size()) + 4096);
  acm::AcmConvertResult converted;
  ASSERT_EQ(encoder->Convert(samples.data(), samples.size(), encoded.data(), encoded.size(),
                             acm::AcmConvertMode::kAll, converted),
            acm::AcmResult::kOk);
  encoded.resize(converted.destinationUsed);
  const std::string song = vx::test::TestFolder() + "/adpcm.wav";
  wave::test::WriteWaveFile(song, adpcm, encoded);

  {
    MciSession session;
    Send(session, "open \"waveaudio!" + song + "\" alias waverec");
    EXPECT_EQ(Send(session, "status waverec format tag"), "adpcm");
    EXPECT_EQ(Send(session, "status waverec bitspersample"), "4");
    Send(session, "play waverec");
    ASSERT_TRUE(WaitUntilStopped(session, "waverec"));
    Send(session, "close waverec");
  }
  const auto tape = wave::test::ReadTape(machine.Tape());
  ASSERT_TRUE(tape);
  EXPECT_EQ(tape->format, pcm);
  // The decoded sound follows the original closely (ADPCM is lossy) for the whole second.
  ASSERT_GE(tape->samples.size(), samples.size() - 2 * 1024u);
  ASSERT_LE(tape->samples.size(), samples.size() + 2 * 1024u);
  // A shift of one sample would already give an RMS error of about 700.
  double squares = 0;
  std::size_t count = 0;
  for (std::size_t at = 0; at + 1 < std::min(samples.size(), tape->samples.size()); at += 2) {
    const auto a = static_cast<std::int16_t>(samples[at] | samples[at + 1] << 8);
    const auto b = static_cast<std::int16_t>(tape->samples[at] | tape->samples[at + 1] << 8);
    squares += double(a - b) * double(a - b);
    ++count;
  }
  EXPECT_LT(std::sqrt(squares / double(count)), 200.0);
}

}  // namespace
}  // namespace vx::mci
