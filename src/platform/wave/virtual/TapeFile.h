// The tape of a virtual wave output: a WAVE file holding every sample the device played.
//
// A session runs from the device's Open to its Close. The first session in the process
// rewrites the tape (riff::WaveFileWriter makes the file with the session's format); later
// sessions with the same format append to its sample data, so a program that closes and
// reopens its device (a player loading the next song) leaves one continuous tape. A session
// with a different format rewrites the tape, since a WAVE file holds one format; so does one
// that finds the file changed or gone. Ending a session patches the RIFF and data sizes, so
// the tape is a valid WAVE file whenever the device is closed. While a session runs the
// sizes are brought up to date at least once a second of wall time, after the samples they
// count are flushed to the file: a program killed mid-session leaves a readable tape that
// may hold at most the last second's samples beyond its stated size.
//
// Not thread-safe: the device uses it from one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/riff/WaveFile.h"

namespace vx::wave {

class TapeFile {
 public:
  explicit TapeFile(std::string path) : path_(std::move(path)) {}
  ~TapeFile() { End(); }
  TapeFile(const TapeFile&) = delete;
  TapeFile& operator=(const TapeFile&) = delete;

  const std::string& Path() const { return path_; }

  // Starts a session; false when the tape cannot be written.
  bool Begin(const riff::WaveFormat& format);
  // Appends played samples; false when they could not all be written (the tape is full at
  // 4 GiB, or the disk refused).
  bool Append(const void* bytes, std::size_t count);
  // Flushes the samples and brings the sizes up to date; false when that failed.
  bool Refresh();
  // Ends the session; false when the sizes could not be patched.
  bool End();

 private:
  bool Rewrite(const riff::WaveFormat& format);
  // Opens the existing tape for appending when its format and layout are as expected.
  bool OpenForAppend(const riff::WaveFormat& format);
  bool PatchSize(std::uint64_t offset, std::uint32_t value);
  // Writes the data and RIFF sizes for a file ending at `fileEnd`.
  bool PatchSizes(std::uint64_t fileEnd);

  std::string path_;
  std::optional<riff::WaveFormat> format_;  // of the first session's tape
  std::FILE* file_ = nullptr;
  std::uint64_t dataOffset_ = 0;
  std::uint64_t dataBytes_ = 0;
  std::int64_t refreshedNs_ = 0;  // monotonic time of the last refresh
};

}  // namespace vx::wave
