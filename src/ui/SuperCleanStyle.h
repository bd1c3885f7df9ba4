#pragma once

#include "ui/UiStyle.h"

#include <QString>

#include <string_view>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// Pieces of look the guided cleanup's steps share.
namespace tarnwick::ui {

// The accent-filled main action of a step or sheet; a disabled one keeps the ordinary look, so it
// reads as unavailable.
void makeProminent(QPushButton *button);

// One segment of a row of exclusive choices: the chosen one is filled with the accent colour.
void makeSegment(QPushButton *button);

// A hairline between the header, the step and the footer.
QFrame *makeDivider(QWidget *parent);

QLabel *makeLabel(const QString &text, TextStyle textStyle, QWidget *parent, bool secondary = false);
// A label that wraps to the width it is given.
QLabel *makeParagraph(const QString &text, TextStyle textStyle, QWidget *parent, bool secondary = false);
QLabel *makeSymbol(std::string_view symbol, int side, const QColor &tint, QWidget *parent);

}  // namespace tarnwick::ui
