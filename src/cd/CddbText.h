// The texts of the CDDB client: request templates, status lines and message boxes, once.
#pragma once

namespace vx::text {

inline constexpr const char* kCddbDefaultHost = "gnudb.gnudb.org";
inline constexpr unsigned short kCddbDefaultPort = 80;
inline constexpr const char* kCddbDefaultPath = "/~cddb/cddb.cgi";
inline constexpr const char* kCddbDefaultUser = "velumix@localhost";
inline constexpr const char* kCddbServerVariable = "VELUMIX_CDDB_SERVER";
inline constexpr const char* kCddbClientName = "Velumix";
inline constexpr const char* kCddbClientVersion = "2.0";

inline constexpr const char* kCddbUserAgent = "Velumix/%1";
inline constexpr const char* kCddbQueryCommand = "?cmd=cddb+query+%08x+%d";
inline constexpr const char* kCddbReadCommand = "?cmd=cddb+read+%1+%2";
inline constexpr const char* kCddbVersionCommand = "?cmd=ver";
inline constexpr const char* kCddbHello = "&hello=%1+Velumix+%2&proto=4";

inline constexpr const char* kListEntry = "%1 - %2";
inline constexpr const char* kUnknownSong = "Unknown Song";
inline constexpr const char* kTrackTitle = "Track %1";

// Message boxes (exclamation icon).
inline constexpr const char* kCddbOpenError =
    "Error opening internet connection. Will not try to talk to CDDB database.";
inline constexpr const char* kCddbOptionError =
    "An error occurred setting an option for Internet communication. Will not try to talk to "
    "CDDB database.";
inline constexpr const char* kCddbCallbackError =
    "Error registering internet callback function. Will not try to talk to CDDB database.";
inline constexpr const char* kCddbConnectError =
    "Error %1 creating internet connection. Will not try to talk to CDDB database.";
inline constexpr const char* kCddbRequestError = "Error sending HTTP request to CDDB server.";

// The "CDDB Status" line.
inline constexpr const char* kCddbConnecting = "Connecting to CDDB Server: %1";
inline constexpr const char* kCddbReading = "Reading track information for %1...";
inline constexpr const char* kCddbComplete = "CDDB Query Complete.";
inline constexpr const char* kCddbNoInformation = "Could not get CD information from CDDB database";
inline constexpr const char* kCddbVersionError = "Error retreiving version from CDDB server.";
inline constexpr const char* kCddbQueryingNewCd = "Querying new CD...";

}  // namespace vx::text
