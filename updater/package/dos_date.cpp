#include "package/dos_date.h"

#include <cstdio>

namespace torvik::package {
namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = kFirstYear + 127;

struct Parts {
    int year, month, day, hour, minute, second;
};

Parts Unpack(int32_t packed)
{
    const auto bits = static_cast<uint32_t>(packed);
    const uint32_t date = bits >> 16;
    const uint32_t time = bits & 0xFFFF;
    return {kFirstYear + static_cast<int>(date >> 9),
            static_cast<int>((date >> 5) & 0x0F),
            static_cast<int>(date & 0x1F),
            static_cast<int>(time >> 11),
            static_cast<int>((time >> 5) & 0x3F),
            static_cast<int>(time & 0x1F) * 2};
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsValid(const Parts& p)
{
    return p.month >= 1 && p.month <= 12 && p.day >= 1 && p.day <= DaysInMonth(p.year, p.month) && p.hour <= 23 &&
           p.minute <= 59 && p.second <= 58;
}

}  // namespace

int32_t DosDateTimeFromTime(time_t time)
{
    struct tm local {};
    if (localtime_r(&time, &local) == nullptr) {
        return static_cast<int32_t>(uint32_t{1 << 5 | 1} << 16);
    }
    Parts p{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
    if (p.year < kFirstYear) {
        p = {kFirstYear, 1, 1, 0, 0, 0};
    } else if (p.year > kLastYear) {
        p = {kLastYear, 12, 31, 23, 59, 58};
    }
    const uint32_t date = static_cast<uint32_t>(p.year - kFirstYear) << 9 | static_cast<uint32_t>(p.month) << 5 |
                          static_cast<uint32_t>(p.day);
    const uint32_t clock = static_cast<uint32_t>(p.hour) << 11 | static_cast<uint32_t>(p.minute) << 5 |
                           static_cast<uint32_t>(p.second / 2);
    return static_cast<int32_t>(date << 16 | clock);
}

std::optional<time_t> TimeFromDosDateTime(int32_t packed)
{
    const Parts p = Unpack(packed);
    if (!IsValid(p)) {
        return std::nullopt;
    }
    struct tm local {};
    local.tm_year = p.year - 1900;
    local.tm_mon = p.month - 1;
    local.tm_mday = p.day;
    local.tm_hour = p.hour;
    local.tm_min = p.minute;
    local.tm_sec = p.second;
    local.tm_isdst = -1;  // whatever daylight saving time said on that day
    const time_t time = mktime(&local);
    if (time == static_cast<time_t>(-1)) {
        return std::nullopt;
    }
    return time;
}

std::string FormatDosDateTime(int32_t packed)
{
    const Parts p = Unpack(packed);
    if (!IsValid(p)) {
        return "invalid date";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second);
    return text;
}

}  // namespace torvik::package
