#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QApplication;
class QLabel;
class QWidget;

// The few type sizes and colours every view shares, so the windows read as one application in
// either palette.
namespace tarnwick::ui {

enum class TextStyle { caption, subheadline, body, headline, title3, title, largeTitle };

QFont font(TextStyle style, QFont base);
// Sets the label's font for the style; a secondary label is drawn in the dimmer text colour.
void style(QLabel *label, TextStyle textStyle, bool secondary = false);
void setSecondary(QWidget *widget);
void setTextColor(QWidget *widget, const QColor &color);

enum class ColorScheme { light, dark };

bool isDark(const QPalette &palette);
QColor secondaryTextColor(const QPalette &palette);
QColor accentColor(const QPalette &palette);
// The named system colours, a shade lighter on a dark palette so they stay readable.
QColor blueColor(const QPalette &palette);
QColor orangeColor(const QPalette &palette);
QColor redColor(const QPalette &palette);
QColor greenColor(const QPalette &palette);
// The background of cards, inspectors and header rows.
QColor controlBackgroundColor(const QPalette &palette);

QPalette palette(ColorScheme scheme);
// Fusion with the light or dark palette, chosen by the user's desktop colour scheme (the desktop
// portal's setting, else GTK's theme name); TARNWICK_COLOR_SCHEME=light|dark overrides both.
void applySystemAppearance(QApplication &application);
void applyColorScheme(QApplication &application, ColorScheme scheme);
ColorScheme systemColorScheme();

}  // namespace tarnwick::ui

class QAbstractButton;

namespace tarnwick::ui {

// The filled button of a view's main action, in `fill` with white text.
void setProminent(QAbstractButton *button, const QColor &fill);
// A rounded card on the control background, as the sidebar's and sheets' grouped content.
void paintCard(QWidget *widget, int radius = 10);

}  // namespace tarnwick::ui
