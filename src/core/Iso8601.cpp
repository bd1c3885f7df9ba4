#include "core/Iso8601.h"

#include <cstdio>
#include <ctime>

namespace tarnwick {

namespace {

bool readDigits(std::string_view text, std::size_t at, std::size_t count, int &value)
{
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string formatIso8601(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const year_month_day date{floor<days>(time)};
    const hh_mm_ss clock{floor<seconds>(time) - floor<days>(time)};
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02ld:%02ld:%02lldZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                  static_cast<long long>(clock.seconds().count()));
    return buffer;
}

std::optional<std::chrono::system_clock::time_point> parseIso8601(std::string_view text)
{
    using namespace std::chrono;
    // YYYY-MM-DDThh:mm:ssZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    int yearValue, monthValue, dayValue, hourValue, minuteValue, secondValue;
    if (!readDigits(text, 0, 4, yearValue) || !readDigits(text, 5, 2, monthValue) ||
        !readDigits(text, 8, 2, dayValue) || !readDigits(text, 11, 2, hourValue) ||
        !readDigits(text, 14, 2, minuteValue) || !readDigits(text, 17, 2, secondValue)) {
        return std::nullopt;
    }
    const year_month_day date{year{yearValue}, month{static_cast<unsigned>(monthValue)},
                              day{static_cast<unsigned>(dayValue)}};
    // A system_clock time point counts nanoseconds in 64 bits: it spans the years 1678 to 2261.
    if (!date.ok() || yearValue < 1678 || yearValue > 2261 || hourValue > 23 || minuteValue > 59 ||
        secondValue > 59) {
        return std::nullopt;
    }
    return sys_days{date} + hours{hourValue} + minutes{minuteValue} + seconds{secondValue};
}

}  // namespace tarnwick
