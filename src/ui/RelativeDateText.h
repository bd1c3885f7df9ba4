#pragma once

#include "engine/CleanupCandidate.h"

#include <QString>

#include <chrono>

namespace tarnwick::ui {

// How far `date` lies from `now`, in the largest whole unit and with the usual named forms:
// "now", "30 seconds ago", "in 2 hours", "yesterday", "3 days ago", "last week", "2 months ago".
// Every date the windows show relative to the present goes through here.
QString relativeDateText(Timestamp date, Timestamp now = std::chrono::system_clock::now());

}  // namespace tarnwick::ui
