// MP3 files for the import tests: real frames made by lame (or ffmpeg) from a generated tone,
// with ID3 tags put around them here, so a test says exactly which tag bytes it has.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::test {

using Bytes = std::vector<std::uint8_t>;

// `seconds` of a 440 Hz tone at half of full scale, at `rate` Hz in `channels` channels, encoded by
// lame with the given options (for example {"-b", "128"}); no ID3 tags.
Bytes LameMp3(int rate, int channels, const std::vector<std::string>& options,
              double seconds = 2.0);
// The same tone as MPEG audio Layer II.
Bytes LayerTwoMp3();

// An ID3v2.3 tag with a body of bodySize zero bytes.
Bytes Id3v2Tag(std::uint32_t bodySize);
// An ID3v1 tag; texts are written as given (Latin-1 bytes) and cut to their fields.
Bytes Id3v1Tag(const std::string& title, const std::string& artist, const std::string& year,
               std::uint8_t genre, const std::string& album = "", const std::string& comment = "");

Bytes Concat(std::initializer_list<Bytes> parts);
// Writes bytes to TestFolder()/name; answers the path.
std::string WriteTestFile(const std::string& name, const Bytes& bytes);
Bytes ReadTestFile(const std::string& path);

}  // namespace vx::test
