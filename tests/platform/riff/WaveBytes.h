// Hand-made RIFF bytes for tests: chunks whose stated sizes may lie, with or without their
// pad byte, so that readers can be fed every kind of damaged file.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "platform/riff/WaveFile.h"

namespace vx::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value));
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
         static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

inline std::string Text(const Bytes& bytes, std::size_t at, std::size_t count) {
  return std::string(bytes.begin() + static_cast<long>(at),
                     bytes.begin() + static_cast<long>(at + count));
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A chunk stating `stated` bytes whatever the payload really holds.
inline Bytes ChunkStating(const char* id, std::uint32_t stated, const Bytes& payload) {
  Bytes out(id, id + 4);
  PutU32(out, stated);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

// A well-formed chunk; `pad` false leaves out the pad byte an odd size calls for.
inline Bytes Chunk(const char* id, const Bytes& payload, bool pad = true) {
  Bytes out = ChunkStating(id, static_cast<std::uint32_t>(payload.size()), payload);
  if (pad && payload.size() % 2 != 0) out.push_back(0);
  return out;
}

// A RIFF or LIST chunk with its form type.
inline Bytes List(const char* id, const char* form, const Bytes& body) {
  return Chunk(id, Cat({Bytes(form, form + 4), body}));
}

inline Bytes PcmFormat(int channels, int rate) {
  return riff::WaveFormat::Pcm16(channels, rate).Bytes();
}

// The canonical 46-byte-header PCM file around `samples`.
inline Bytes PcmWave(const Bytes& samples, int channels = 2, int rate = 44100) {
  return List("RIFF", "WAVE", Cat({Chunk("fmt ", PcmFormat(channels, rate)), Chunk("data", samples)}));
}

inline Bytes Ramp(std::size_t count) {
  Bytes out(count);
  for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return out;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vx::test
