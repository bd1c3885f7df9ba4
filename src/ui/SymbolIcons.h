#pragma once

#include <QColor>
#include <QIcon>

#include <string_view>
#include <vector>

// Icons by the symbol names the views are described with ("folder.badge.plus", "trash", ...).
// Every symbol is one of the application's own monochrome drawings, painted in the colour of the
// text around it, so it reads in the light and the dark palette alike and looks the same on every
// desktop. A name without a drawing falls back to the icon theme (Adwaita when the desktop names
// none) and last to the style's generic file icon.
namespace tarnwick::ui {

// Drawn in the palette's text colour when painted (the disabled text colour for a disabled
// control, the highlighted-text colour for a selected item), so it follows a palette change.
QIcon symbolIcon(std::string_view symbol);
// Drawn in one fixed colour, for badges and status symbols; dimmed when disabled.
QIcon symbolIcon(std::string_view symbol, const QColor &tint);

// Whether the application has its own drawing of this symbol.
bool hasSymbol(std::string_view symbol);
// The application's icon, also its brand mark in the sidebar.
QIcon applicationIcon();

// Makes QIcon::fromTheme find icons where no desktop theme is configured (offscreen, bare Xvfb).
void installIconThemeFallback();

}  // namespace tarnwick::ui
