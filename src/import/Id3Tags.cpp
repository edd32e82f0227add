#include "import/Id3Tags.h"

#include <cstring>
#include <iterator>

namespace vx {
namespace {

// The genre list as MP3 taggers write it: the 80 genres of the ID3v1 definition, then the
// 46 common extensions, spelled as they are everywhere ("Psychadelic", "Bebob").
constexpr const char* kGenres[] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    // The extensions.
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella",
    "Euro-House", "Dance Hall"};
static_assert(std::size(kGenres) == 126);

bool IsTrailingSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A fixed-width field: up to its first NUL, trailing white space dropped, as UTF-8.
std::string Field(const std::uint8_t* bytes, std::size_t width) {
  const char* text = reinterpret_cast<const char*>(bytes);
  std::size_t length = 0;
  while (length < width && text[length] != '\0') ++length;
  while (length > 0 && IsTrailingSpace(text[length - 1])) --length;
  return Latin1ToUtf8(text, length);
}

}  // namespace

std::optional<std::uint32_t> Id3v2BodySize(const std::uint8_t (&header)[kId3v2HeaderSize]) {
  if (std::memcmp(header, "ID3", 3) != 0) return std::nullopt;
  std::uint32_t size = 0;
  for (int i = 6; i < 10; ++i) size = size << 7 | (header[i] & 0x7fu);
  return size;
}

std::optional<Id3v1Tag> ReadId3v1Tag(const std::uint8_t (&bytes)[kId3v1TagSize]) {
  if (std::memcmp(bytes, "TAG", 3) != 0) return std::nullopt;
  Id3v1Tag tag;
  tag.title = Field(bytes + 3, 30);
  tag.artist = Field(bytes + 33, 30);
  tag.album = Field(bytes + 63, 30);
  tag.year = Field(bytes + 93, 4);
  tag.comment = Field(bytes + 97, 30);
  if (const char* genre = Id3v1GenreName(bytes[127])) tag.genre = genre;
  return tag;
}

const char* Id3v1GenreName(unsigned number) {
  return number < std::size(kGenres) ? kGenres[number] : nullptr;
}

std::string Latin1ToUtf8(const char* bytes, std::size_t count) {
  std::string text;
  text.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xc0 | c >> 6);
      text += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return text;
}

}  // namespace vx
