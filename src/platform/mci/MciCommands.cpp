// The string front end of MciSession: reads a command text and runs it on the same core
// as the typed front end, formatting positions in the device's time format.
#include <charconv>

#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciSession.h"

namespace vx::mci {
namespace {

bool ReadNumber(const std::string& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::string FormatTagName(std::uint16_t tag) {
  switch (tag) {
    case riff::kFormatPcm: return "pcm";
    case riff::kFormatMsAdpcm: return "adpcm";
    case riff::kFormatImaAdpcm: return "ima adpcm";
    case riff::kFormatMpegLayer3: return "mpeg layer-3";
    default: return std::to_string(tag);
  }
}

// "open" arguments: `type!element`, or an element with `type T`, or a bare type.
unsigned ReadOpen(const MciCommand& command, MciOpenParams& params) {
  const std::size_t bang = command.device.find('!');
  if (bang != std::string::npos) {
    params.type = command.device.substr(0, bang);
    params.element = command.device.substr(bang + 1);
  } else if (EqualsNoCase(command.device, kCdAudioType) ||
             EqualsNoCase(command.device, kWaveAudioType)) {
    params.type = command.device;
  } else {
    params.element = command.device;
  }
  for (std::size_t i = 0; i < command.words.size(); ++i) {
    if (command.Has(i, {"shareable"})) continue;
    if (i + 1 >= command.words.size()) return kBadParameter;
    if (command.Has(i, {"type"})) {
      params.type = command.words[++i];
    } else if (command.Has(i, {"alias"})) {
      params.alias = command.words[++i];
    } else {
      return kBadParameter;
    }
  }
  return params.type.empty() ? kUnknownDeviceType : kMciOk;
}

}  // namespace

unsigned MciSession::SendString(std::string_view text, std::string& reply) {
  reply.clear();
  MciCommand command;
  if (!ParseMciCommand(text, command)) return kBadCommandText;
  std::lock_guard lock(mutex_);
  return Execute(command, reply);
}

unsigned MciSession::Execute(const MciCommand& command, std::string& reply) {
  const std::string& verb = command.verb;
  if (verb == "open") {
    MciOpenParams params;
    if (const unsigned rc = ReadOpen(command, params); rc != kMciOk) return rc;
    MciDeviceId id = 0;
    return Open(params, id);
  }
  if (verb == "sysinfo") {
    if (!command.Has(0, {"quantity"})) return kBadParameter;
    unsigned count = 0;
    if (const unsigned rc = SysInfoQuantity(command.device, count); rc != kMciOk) return rc;
    reply = std::to_string(count);
    return kMciOk;
  }
  if (verb == "close" && EqualsNoCase(command.device, "all")) {
    while (!devices_.empty()) Close(devices_.begin()->first);
    return kMciOk;
  }
  const MciDeviceId id = DeviceId(command.device);
  if (id == 0) {
    static const char* const kKnown[] = {"close", "set",    "play",   "stop", "pause",
                                         "resume", "seek", "status", "info"};
    for (const char* known : kKnown) {
      if (verb == known) return kUnknownAlias;
    }
    return kUnknownCommand;
  }
  Device& device = *Find(id);
  const auto& words = command.words;

  if (verb == "close") return Close(id);
  if (verb == "stop") return Stop(id);
  if (verb == "pause") return Pause(id);
  if (verb == "resume") return PlayUnits(id, {}, {});
  if (verb == "set") {
    if (command.Has(0, {"door", "open"})) return SetDoor(id, false);
    if (command.Has(0, {"door", "closed"})) return SetDoor(id, true);
    int output = 0;
    if (command.Has(0, {"output"}) && words.size() == 2 && ReadNumber(words[1], output) &&
        output >= 0) {
      return SetOutput(id, static_cast<std::size_t>(output));
    }
    TimeFormat format;
    if (command.Has(0, {"time", "format"}) && words.size() == 3 &&
        ParseTimeFormat(words[2], format)) {
      return SetTimeFormat(id, format);
    }
    return kBadParameter;
  }
  if (verb == "info") {
    if (command.Has(0, {"identity"})) return InfoIdentity(id, reply);
    if (command.Has(0, {"product"})) {
      reply = device.driver->UsesTimeFormat(TimeFormat::kMsf) ? "CD Audio" : "Wave Audio";
      return kMciOk;
    }
    return kBadParameter;
  }

  // The rest speaks positions: bind the device to its medium's timeline.
  if (verb == "status") {
    if (command.Has(0, {"mode"})) {
      reply = ModeWord(device.driver->Mode());
      return kMciOk;
    }
    if (command.Has(0, {"ready"}) || command.Has(0, {"media", "present"})) {
      const MciMode mode = device.driver->Mode();
      reply = mode == MciMode::kNotReady || mode == MciMode::kOpen ? "false" : "true";
      return kMciOk;
    }
    if (command.Has(0, {"time", "format"})) {
      reply = device.format == TimeFormat::kMilliseconds ? "milliseconds"
              : device.format == TimeFormat::kMsf        ? "msf"
                                                         : "tmsf";
      return kMciOk;
    }
    if (command.Has(0, {"format", "tag"}) || command.Has(0, {"samplespersec"}) ||
        command.Has(0, {"bitspersample"}) || command.Has(0, {"channels"})) {
      riff::WaveFormat format;
      if (const unsigned rc = device.driver->StoredFormat(format); rc != kMciOk) return rc;
      reply = command.Has(0, {"format"})          ? FormatTagName(format.formatTag)
              : command.Has(0, {"samplespersec"}) ? std::to_string(format.samplesPerSec)
              : command.Has(0, {"bitspersample"}) ? std::to_string(format.bitsPerSample)
                                                  : std::to_string(format.channels);
      return kMciOk;
    }
    Bound bound;
    if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
    const Timeline& timeline = bound.timeline;
    if (command.Has(0, {"number", "of", "tracks"})) {
      reply = std::to_string(timeline.toc ? timeline.TrackCount() : 1);
      return kMciOk;
    }
    long position = 0;
    if (command.Has(0, {"position"}) && words.size() == 1) {
      if (const unsigned rc = device.driver->Position(position); rc != kMciOk) return rc;
      reply = FormatPosition(device.format, position, timeline);
      return kMciOk;
    }
    if (command.Has(0, {"current", "track"})) {
      if (const unsigned rc = device.driver->Position(position); rc != kMciOk) return rc;
      reply = std::to_string(timeline.toc ? timeline.TrackAt(position) : 1);
      return kMciOk;
    }
    if (command.Has(0, {"length"}) && words.size() == 1) {
      reply = FormatLength(device.format, timeline.length, timeline);
      return kMciOk;
    }
    int track = 0;
    const bool trackItem = words.size() == 3 && command.Has(1, {"track"}) &&
                           (command.Has(0, {"length"}) || command.Has(0, {"position"}) ||
                            command.Has(0, {"type"}));
    if (!trackItem) return kBadParameter;
    if (!ReadNumber(words[2], track)) return kBadTrack;
    long start = 0, length = 0;
    if (const unsigned rc = TrackSpan(id, track, bound, start, length); rc != kMciOk) return rc;
    if (command.Has(0, {"length"})) {
      reply = FormatLength(device.format, length, timeline);
    } else if (command.Has(0, {"position"})) {
      reply = FormatPosition(device.format, start, timeline);
    } else {
      reply = timeline.TrackIsAudio(track) ? "audio" : "other";
    }
    return kMciOk;
  }

  Bound bound;
  if (const unsigned rc = Bind(id, bound); rc != kMciOk) return rc;
  const auto position = [&](const std::string& text, long& units) {
    if (EqualsNoCase(text, "start")) {
      units = 0;
      if (bound.timeline.toc && !bound.timeline.toc->tracks.empty()) {
        units = bound.timeline.toc->tracks.front().startLsn;
      }
      return true;
    }
    if (EqualsNoCase(text, "end")) {
      units = bound.timeline.length;
      return true;
    }
    return ParsePosition(device.format, text, bound.timeline, units);
  };
  if (verb == "seek") {
    long units = 0;
    if (words.size() != 2 || !command.Has(0, {"to"})) return kBadParameter;
    if (!position(words[1], units)) return kBadPosition;
    return SeekUnits(id, units);
  }
  if (verb == "play") {
    std::optional<long> from, to;
    for (std::size_t i = 0; i < words.size(); i += 2) {
      long units = 0;
      if (i + 1 >= words.size()) return kBadParameter;
      if (!position(words[i + 1], units)) return kBadPosition;
      if (command.Has(i, {"from"})) {
        from = units;
      } else if (command.Has(i, {"to"})) {
        to = units;
      } else {
        return kBadParameter;
      }
    }
    return PlayUnits(id, from, to);
  }
  return kUnknownCommand;
}

}  // namespace vx::mci
