#include "cd/CddbReply.h"

#include <QRegularExpression>

#include "cd/CddbText.h"

namespace vx::cd {
namespace {

// The reply's lines without their line ends (CR LF or LF).
QStringList Lines(const QByteArray& reply) {
  QStringList lines = QString::fromLatin1(reply).split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  return lines;
}

QString ListEntry(int number, const QString& title) {
  return QString::fromLatin1(text::kListEntry).arg(number, 2, 10, QLatin1Char('0')).arg(title);
}

// "category discid title": the category in lower-case letters, then one space and exactly
// eight hexadecimal digits, then a space (or the end of the line) and the title.
std::optional<CddbMatch> ParseMatchLine(const QString& line) {
  static const QRegularExpression pattern(
      QStringLiteral("^([a-z]+) ([0-9a-fA-F]{8})(?: (.*))?$"));
  const QRegularExpressionMatch found = pattern.match(line);
  if (!found.hasMatch()) return std::nullopt;
  CddbMatch match;
  match.category = found.captured(1);
  match.discId = found.captured(2).toLower();
  match.title = found.captured(3);
  const qsizetype split = match.title.indexOf(QLatin1String(" / "));
  if (split >= 0) {
    match.artist = match.title.left(split);
    match.discTitle = match.title.mid(split + 3);
  } else {
    match.artist = match.title;
    match.discTitle = match.title;
  }
  return match;
}

// An entry's value with its escapes undone: "\n" a line break, "\t" a tab, "\\" a
// backslash; any other backslash stays as it is.
QString Unescape(const QString& value) {
  QString plain;
  plain.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
    if (value[i] == QLatin1Char('\\') &&
        (next == QLatin1Char('n') || next == QLatin1Char('t') || next == QLatin1Char('\\'))) {
      plain += next == QLatin1Char('n') ? QLatin1Char('\n')
               : next == QLatin1Char('t') ? QLatin1Char('\t')
                                           : QLatin1Char('\\');
      ++i;
    } else {
      plain += value[i];
    }
  }
  return plain;
}

// The value of every line "key=value" of the reply, joined in order (a long value may be
// split over several lines with the same key) and unescaped. Nothing when no line has the
// key.
std::optional<QString> KeyValue(const QStringList& lines, const QString& key) {
  const QString prefix = key + QLatin1Char('=');
  std::optional<QString> value;
  for (const QString& line : lines) {
    if (!line.startsWith(prefix)) continue;
    value = value.value_or(QString()) + line.mid(prefix.size());
  }
  if (value) value = Unescape(*value);
  return value;
}

}  // namespace

int CddbReplyCode(const QByteArray& reply) {
  if (reply.size() < 3) return -1;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    const char c = reply[i];
    if (c < '0' || c > '9') return -1;
    code = code * 10 + (c - '0');
  }
  if (reply.size() > 3 && reply[3] != ' ' && reply[3] != '\r' && reply[3] != '\n') return -1;
  return code;
}

std::optional<CddbMatch> ParseQueryReply(const QByteArray& reply) {
  const int code = CddbReplyCode(reply);
  const QStringList lines = Lines(reply);
  if (code == 200) return ParseMatchLine(lines.front().mid(4));
  if ((code == 210 || code == 211) && lines.size() > 1) return ParseMatchLine(lines[1]);
  return std::nullopt;
}

std::optional<CddbTrackNames> ParseReadReply(const QByteArray& reply, int audioTracks) {
  if (CddbReplyCode(reply) != 210) return std::nullopt;
  const QStringList lines = Lines(reply);
  CddbTrackNames names = FallbackNames(audioTracks);
  for (int i = 0; i < audioTracks; ++i) {
    const std::optional<QString> title = KeyValue(lines, QStringLiteral("TTITLE%1").arg(i));
    if (title && !title->isEmpty()) {
      names.listEntries[i] = ListEntry(i + 1, *title);
      names.titles[i] = *title;
    }
    names.extendedData[i] = KeyValue(lines, QStringLiteral("EXTT%1").arg(i)).value_or(QString());
  }
  return names;
}

CddbTrackNames FallbackNames(int audioTracks) {
  CddbTrackNames names;
  for (int a = 1; a <= audioTracks; ++a) {
    names.listEntries << ListEntry(a, QString::fromLatin1(text::kUnknownSong));
    names.titles << QString::fromLatin1(text::kTrackTitle).arg(a);
    names.extendedData << QString();
  }
  return names;
}

QString CddbReadCommand(const CddbMatch& match, const QString& helloUser) {
  return QString::fromLatin1(text::kCddbReadCommand).arg(match.category, match.discId) +
         QString::fromLatin1(text::kCddbHello)
             .arg(helloUser, QString::fromLatin1(text::kCddbClientVersion));
}

}  // namespace vx::cd
