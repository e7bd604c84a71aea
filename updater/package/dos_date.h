// Modification times as packages store them: the packed DOS date-time of the local time,
// the date in the high word ((year - 1980) << 9 | month << 5 | day) and the time in the
// low word (hour << 11 | minute << 5 | second / 2), the form of a file-age query.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace torvik::package {

// Odd seconds round down; times before 1980 or after 2107 are clamped to the range.
int32_t DosDateTimeFromTime(time_t time);

// Nothing when the value is no possible date and time (month 13, 30 February, …).
std::optional<time_t> TimeFromDosDateTime(int32_t packed);

// "yyyy-mm-dd hh:mm:ss", or "invalid date" for an impossible value.
std::string FormatDosDateTime(int32_t packed);

}  // namespace torvik::package
