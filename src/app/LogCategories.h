#pragma once

#include <QLoggingCategory>

// The application's log categories. Everything it reports on standard error goes through one of
// them, so QT_LOGGING_RULES (for example "tarnwick.shell.warning=false") controls it and every line
// names where it comes from.
namespace tarnwick {

Q_DECLARE_LOGGING_CATEGORY(lcShell)   // tarnwick.shell: the desktop shell and its fallbacks
Q_DECLARE_LOGGING_CATEGORY(lcPrefs)   // tarnwick.prefs: reading and saving the preferences
Q_DECLARE_LOGGING_CATEGORY(lcUpdates) // tarnwick.updates: update checks

} // namespace tarnwick
