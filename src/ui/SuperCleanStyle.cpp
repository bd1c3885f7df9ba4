#include "ui/SuperCleanStyle.h"

#include "ui/SymbolIcons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tarnwick::ui {

void makeProminent(QPushButton *button)
{
    // Fusion lightens a palette's button colour into a pale gradient that white text cannot be read
    // on; the accent has to be painted flat.
    const QPalette palette = button->palette();
    const QColor accent = accentColor(palette);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: white; border: 1px solid %2; border-radius: 5px;"
                       " padding: 4px 14px; font-weight: 600; }"
                       "QPushButton:pressed { background-color: %2; }"
                       "QPushButton:disabled { background-color: %3; color: %4; border-color: %3; }")
            .arg(accent.name(), accent.darker(125).name(),
                 palette.color(QPalette::Disabled, QPalette::Highlight).name(),
                 palette.color(QPalette::Disabled, QPalette::ButtonText).name()));
}

void makeSegment(QPushButton *button)
{
    const QPalette palette = button->palette();
    const QColor accent = accentColor(palette);
    button->setCheckable(true);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid %3; padding: 4px 14px; }"
                       "QPushButton:checked { background-color: %4; color: white; border-color: %5; }")
            .arg(palette.color(QPalette::Button).name(), palette.color(QPalette::ButtonText).name(),
                 palette.color(QPalette::Mid).name(), accent.name(), accent.darker(125).name()));
}

QFrame *makeDivider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Midlight));
    line->setPalette(palette);
    return line;
}

QLabel *makeLabel(const QString &text, TextStyle textStyle, QWidget *parent, bool secondary)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    style(label, textStyle, secondary);
    return label;
}

QLabel *makeParagraph(const QString &text, TextStyle textStyle, QWidget *parent, bool secondary)
{
    QLabel *label = makeLabel(text, textStyle, parent, secondary);
    label->setWordWrap(true);
    return label;
}

QLabel *makeSymbol(std::string_view symbol, int side, const QColor &tint, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(symbolIcon(symbol, tint).pixmap(side, side));
    label->setFixedSize(side, side);
    return label;
}

}  // namespace tarnwick::ui
