#pragma once

#include "../app/AppTestSupport.h"

#include "ui/UiStyle.h"

#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>

namespace tarnwick::testing {

// Saves what the widget shows under build/screenshots/NAME.png, for a person to look at.
inline bool saveScreenshot(QWidget &widget, const std::string &name)
{
    QDir().mkpath(TARNWICK_SCREENSHOT_DIR);
    return widget.grab().save(QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name)));
}

// "light" or "dark": names parameterised cases and suffixes screenshots.
inline std::string paletteName(ui::ColorScheme scheme)
{
    return scheme == ui::ColorScheme::dark ? "dark" : "light";
}

inline std::string paletteTestName(const ::testing::TestParamInfo<ui::ColorScheme> &info)
{
    return paletteName(info.param);
}

}  // namespace tarnwick::testing
