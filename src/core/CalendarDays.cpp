#include "core/CalendarDays.h"

#include <unicode/ucal.h>

#include <memory>

namespace tarnwick {

int64_t calendarDaysBetween(std::chrono::system_clock::time_point from, std::chrono::system_clock::time_point to)
{
    using Milliseconds = std::chrono::duration<double, std::milli>;
    UErrorCode status = U_ZERO_ERROR;
    // The default locale and time zone of the process: the user's calendar.
    const std::unique_ptr<UCalendar, decltype(&ucal_close)> calendar(
        ucal_open(nullptr, -1, nullptr, UCAL_DEFAULT, &status), &ucal_close);
    if (U_FAILURE(status)) {
        return 0;
    }
    ucal_setMillis(calendar.get(), Milliseconds(from.time_since_epoch()).count(), &status);
    // Moves the calendar forward (or back) by whole days as long as it stays on this side of `to`.
    const int32_t days = ucal_getFieldDifference(calendar.get(), Milliseconds(to.time_since_epoch()).count(),
                                                 UCAL_DATE, &status);
    return U_FAILURE(status) ? 0 : days;
}

}  // namespace tarnwick
