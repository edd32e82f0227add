#include "platform/wave/portaudio/AudioLibraryLogs.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/log/DebugLog.h"

namespace vx::wave {
namespace {

void AlsaMessage(const char* file, int line, const char* function, int error,
                 const char* format, ...) {
  if (!DebugLogEnabled()) return;
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  std::string message = std::string("ALSA ") + (file ? file : "?") + ":" +
                        std::to_string(line) + " (" + (function ? function : "?") + ") " + text;
  if (error != 0) message += std::string(": ") + snd_strerror(error);
  DebugLog(message);
}

void JackMessage(const char* text) { DebugLog(std::string("JACK ") + (text ? text : "")); }

}  // namespace

void RouteAudioLibraryLogs() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(AlsaMessage);
    jack_set_error_function(JackMessage);
    jack_set_info_function(JackMessage);
  });
}

}  // namespace vx::wave
