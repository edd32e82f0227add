#include "import/Mp3TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "support/RunTool.h"
#include "support/TestFolder.h"

namespace vx::test {
namespace {

std::string Tone(int rate, int channels, double seconds) {
  const std::string path = TestFolder() + "/tone-" + std::to_string(rate) + "-" +
                           std::to_string(channels) + "-" + std::to_string(seconds) + ".wav";
  EXPECT_TRUE(
      RunTool({"sox", "-n", "-r", std::to_string(rate), "-c", std::to_string(channels), "-b", "16",
               path, "synth", std::to_string(seconds), "sine", "440", "vol", "0.5"}));
  return path;
}

}  // namespace

Bytes LameMp3(int rate, int channels, const std::vector<std::string>& options, double seconds) {
  const std::string output = TestFolder() + "/lame-output.mp3";
  std::vector<std::string> args = {"lame", "--quiet"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(Tone(rate, channels, seconds));
  args.push_back(output);
  EXPECT_TRUE(RunTool(args));
  return ReadTestFile(output);
}

Bytes LayerTwoMp3() {
  const std::string output = TestFolder() + "/layer2.mp2";
  EXPECT_TRUE(RunTool({"ffmpeg", "-v", "error", "-y", "-i", Tone(44100, 2, 2.0), "-c:a", "mp2",
                       "-b:a", "192k", "-f", "mp2", output}));
  return ReadTestFile(output);
}

Bytes Id3v2Tag(std::uint32_t bodySize) {
  Bytes tag = {'I', 'D', '3', 3, 0, 0};
  for (int shift = 21; shift >= 0; shift -= 7) {
    tag.push_back(static_cast<std::uint8_t>(bodySize >> shift & 0x7f));
  }
  tag.resize(tag.size() + bodySize, 0);
  return tag;
}

Bytes Id3v1Tag(const std::string& title, const std::string& artist, const std::string& year,
               std::uint8_t genre, const std::string& album, const std::string& comment) {
  Bytes tag(128, 0);
  const auto put = [&tag](std::size_t at, const std::string& text, std::size_t width) {
    std::copy_n(text.begin(), std::min(width, text.size()), tag.begin() + at);
  };
  put(0, "TAG", 3);
  put(3, title, 30);
  put(33, artist, 30);
  put(63, album, 30);
  put(93, year, 4);
  put(97, comment, 30);
  tag[127] = genre;
  return tag;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string WriteTestFile(const std::string& name, const Bytes& bytes) {
  const std::string path = TestFolder() + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes ReadTestFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace vx::test
