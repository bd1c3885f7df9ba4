#include "app/LogCategories.h"

namespace tarnwick {

Q_LOGGING_CATEGORY(lcShell, "tarnwick.shell")
Q_LOGGING_CATEGORY(lcPrefs, "tarnwick.prefs")
Q_LOGGING_CATEGORY(lcUpdates, "tarnwick.updates")

} // namespace tarnwick
