#pragma once

#include <QFontMetrics>
#include <QString>

namespace tarnwick::ui {

// Cuts a path to `width` so that its end stays whole: the folder and the folder holding it (the
// project of a node_modules) are what tell two rows apart, so the ellipsis replaces components
// from the middle, keeping as much of the start as fits: "/home/ada/…/web-shop/node_modules".
// Only when even "…/project/folder" does not fit is the text cut inside a name. Text without
// a separator is elided in the middle as usual.
QString elidePath(const QString &path, const QFontMetrics &metrics, int width);

}  // namespace tarnwick::ui
