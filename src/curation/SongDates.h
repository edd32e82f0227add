// The song editor's date texts: month, day and year as "MM/DD/YYYY", read and written the
// same way whatever the user's locale.
#pragma once

#include <QDate>
#include <QString>

#include <optional>

#include "platform/dao/DaoDateTime.h"

namespace vx {

// "%02d/%02d/%04d" of month, day and year; empty for a date without a value.
QString SongDateText(const dao::DaoDateTime& date);
QString SongDateText(const QDate& date);

// Reads "MM/DD/YYYY" (one-digit month and day are accepted too, spaces around are ignored).
// Nothing when the text is no date of the calendar (02/30/1999, 13/01/2000, 1999).
std::optional<dao::DaoDateTime> ParseSongDate(const QString& text);

}  // namespace vx
