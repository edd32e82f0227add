// The CDDB server's replies as the client reads them: the query reply's match, the read
// reply's track titles, and the names used when no reply gives any. Replies are protocol
// level 4 text, which is Latin-1. Nothing here throws: a reply that cannot be read gives no
// result, and the caller falls back.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace vx::cd {

struct CddbMatch {
  QString category;   // lower-case letters, e.g. "rock"
  QString discId;     // the server's identifier, 8 lower-case hexadecimal digits
  QString title;      // "Artist / Album" as the server gives it
  QString artist;
  QString discTitle;
};

// One entry per audio track, in disc order.
struct CddbTrackNames {
  QStringList listEntries;  // "01 - Title"
  QStringList titles;
  QStringList extendedData;
};

// The reply's three-digit code; -1 when it does not start with one.
int CddbReplyCode(const QByteArray& reply);

// The match of a query reply: an exact match (200) or the first of a list of matches (210,
// 211). Nothing for "no match" (202), any other code, or a match line that does not name a
// category and an 8-digit identifier.
std::optional<CddbMatch> ParseQueryReply(const QByteArray& reply);

// The titles of a read reply (210) for audioTracks tracks; a track without its TTITLE line
// keeps its fallback names. Nothing for any other code.
std::optional<CddbTrackNames> ParseReadReply(const QByteArray& reply, int audioTracks);

// "%02d - Unknown Song", "Track %d" and an empty extended entry for each audio track.
CddbTrackNames FallbackNames(int audioTracks);

// "?cmd=cddb+read+<category>+<id>" followed by the hello, to append to the server's path.
QString CddbReadCommand(const CddbMatch& match, const QString& helloUser);

}  // namespace vx::cd
