#pragma once

#include "../app/AppTestSupport.h"

#include <QDir>
#include <QWidget>

#include <string>

namespace tarnwick::testing {

// Saves what the widget shows under build/screenshots/NAME.png, for a person to look at.
inline bool saveScreenshot(QWidget &widget, const std::string &name)
{
    QDir().mkpath(TARNWICK_SCREENSHOT_DIR);
    return widget.grab().save(QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name)));
}

}  // namespace tarnwick::testing
