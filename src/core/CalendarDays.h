#pragma once

#include <chrono>
#include <cstdint>

namespace tarnwick {

// Whole days from `from` to `to` in the user's calendar and time zone (so a day across a daylight
// saving change is still one day); negative when `to` is earlier. 0 when the calendar is unavailable.
int64_t calendarDaysBetween(std::chrono::system_clock::time_point from, std::chrono::system_clock::time_point to);

}  // namespace tarnwick
