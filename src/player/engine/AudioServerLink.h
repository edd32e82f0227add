// What the playback engine needs from the audio server that decodes compressed songs for
// it: bind once, then per song announce the chunk size, hand over the song's format record,
// learn the decoded format, and have chunks decoded one by one (the server keeps its decoder
// state between chunks and may take fewer bytes than offered). The engine owns one link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::player {

class AudioServerLink {
 public:
  enum class Status { kOk, kNoAnswer, kBlockUnreadable, kDataUnreadable };

  virtual ~AudioServerLink() = default;

  // Starts and binds the server for this instance (deck number + 1). Answers 0, or 1 (the
  // channel could not be set up), 2 (the program could not be started), 3 (the server did
  // not appear), 4 (the player's memory could not be handed over).
  virtual int Start(const std::string& programFolder, int instance) = 0;
  virtual bool IsBound() const = 0;

  // The most compressed bytes one Decode will offer.
  virtual bool SetChunkSize(std::uint32_t bytes) = 0;
  // Hands over the song's format record; false when the server refuses the song.
  virtual bool OpenSong(const std::vector<std::uint8_t>& formatRecord) = 0;
  // The decoded format: the most bytes one Decode can produce and the PCM format record.
  // kBlockUnreadable when the information block, kDataUnreadable when the record failed.
  virtual Status GetOutputFormat(std::uint32_t& decodedMaximum,
                                 std::vector<std::uint8_t>& formatRecord) = 0;
  // Decodes count bytes; consumed is how many the server took, and the decoded bytes go to
  // out (at most outCapacity; produced says how many).
  virtual Status Decode(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& consumed,
                        std::uint8_t* out, std::uint32_t outCapacity,
                        std::uint32_t& produced) = 0;
  // Tells the server the engine is finished with it.
  virtual void Finish() = 0;
};

}  // namespace vx::player
