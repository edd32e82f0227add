#include "curation/SongDates.h"

#include <QStringList>

namespace vx {
namespace {

// A field of digits only, between min and max digits long; -1 otherwise.
int Number(const QString& field, int minDigits, int maxDigits) {
  if (field.size() < minDigits || field.size() > maxDigits) return -1;
  int value = 0;
  for (const QChar digit : field) {
    if (digit < QLatin1Char('0') || digit > QLatin1Char('9')) return -1;
    value = value * 10 + (digit.unicode() - '0');
  }
  return value;
}

}  // namespace

QString SongDateText(const dao::DaoDateTime& date) {
  if (date.IsNull()) return {};
  return QString::asprintf("%02d/%02d/%04d", date.month, date.day, date.year);
}

QString SongDateText(const QDate& date) {
  return SongDateText(dao::DaoDateTime{date.year(), date.month(), date.day()});
}

std::optional<dao::DaoDateTime> ParseSongDate(const QString& text) {
  const QStringList fields = text.trimmed().split(QLatin1Char('/'));
  if (fields.size() != 3) return std::nullopt;
  const int month = Number(fields[0], 1, 2);
  const int day = Number(fields[1], 1, 2);
  const int year = Number(fields[2], 4, 4);
  if (year < 1 || !QDate::isValid(year, month, day)) return std::nullopt;
  return dao::DaoDateTime{year, month, day};
}

}  // namespace vx
