// The LastMaint profile value: the date of the last library maintenance as "%Y %m %d".
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace vx {

// The local date of `now` as "YYYY MM DD".
std::string MaintDateText(std::time_t now);

// Whole days from local midnight of the date in lastMaint to now, truncated toward zero.
// No value when the text is shorter than 10 characters or does not hold a date.
std::optional<long> DaysSinceMaint(const std::string& lastMaint, std::time_t now);

}  // namespace vx
