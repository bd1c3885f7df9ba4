#pragma once

#include <QColor>
#include <QIcon>

#include <string_view>

// Icons by the symbol names the views are described with ("folder.badge.plus", "trash", ...),
// drawn from the desktop's icon theme with a fallback, so every button shows a real icon even
// where no theme is configured.
namespace tarnwick::ui {

QIcon symbolIcon(std::string_view symbol);
// The symbol drawn in one colour, for badges and status symbols.
QIcon symbolIcon(std::string_view symbol, const QColor &tint);

}  // namespace tarnwick::ui
