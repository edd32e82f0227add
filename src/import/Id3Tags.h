// The two ID3 tags an MP3 file may carry: the ID3v2 tag at its front, which is skipped, and
// the 128-byte ID3v1 tag at its end, whose texts propose the song's details.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vx {

inline constexpr std::size_t kId3v2HeaderSize = 10;
inline constexpr std::size_t kId3v1TagSize = 128;

// The bytes an ID3v2 tag takes after its 10-byte header, from the four 7-bit size bytes;
// nothing when the header does not begin with "ID3".
std::optional<std::uint32_t> Id3v2BodySize(const std::uint8_t (&header)[kId3v2HeaderSize]);

// The texts of an ID3v1 tag, in UTF-8 (the tag itself holds Latin-1).
struct Id3v1Tag {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string comment;
  std::string genre;  // empty for a genre number past the list
};

// Reads the last 128 bytes of a file; nothing when they do not begin with "TAG". Each text is
// taken up to its first NUL, without trailing white space.
std::optional<Id3v1Tag> ReadId3v1Tag(const std::uint8_t (&bytes)[kId3v1TagSize]);

// The name of an ID3v1 genre number, "Blues" (0) to "Dance Hall" (125); nullptr past them.
const char* Id3v1GenreName(unsigned number);

// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(const char* bytes, std::size_t count);

}  // namespace vx
