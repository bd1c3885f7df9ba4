#include "ui/SuperCleanCard.h"

#include "ui/UiStyle.h"

#include <QPainter>

namespace tarnwick {

SuperCleanCard::SuperCleanCard(QWidget *parent, int radius) : QFrame(parent), m_radius(radius)
{
}

void SuperCleanCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor border = palette().color(QPalette::Mid);
    border.setAlpha(ui::isDark(palette()) ? 110 : 90);
    painter.setPen(QPen(border, 1));
    painter.setBrush(ui::controlBackgroundColor(palette()));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), m_radius, m_radius);
}

}  // namespace tarnwick
