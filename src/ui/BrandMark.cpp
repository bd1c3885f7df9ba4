#include "ui/BrandMark.h"

#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QPainter>

namespace tarnwick {

BrandMark::BrandMark(int side, QWidget *parent) : QWidget(parent), m_side(side)
{
    setFixedSize(side, side);
    setAccessibleName(QStringLiteral("Tarnwick"));
}

void BrandMark::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const QIcon &icon : {ui::applicationIcon(), QApplication::windowIcon()}) {
        const QPixmap image = icon.pixmap(size(), devicePixelRatioF());
        if (!image.isNull()) {
            painter.drawPixmap(rect(), image);
            return;
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0a, 0x6d, 0xe0));
    painter.drawRoundedRect(rect(), m_side * 0.22, m_side * 0.22);
    const int inset = m_side / 5;
    ui::symbolIcon("folder.fill.badge.checkmark", Qt::white).paint(&painter, rect().adjusted(inset, inset, -inset, -inset));
}

}  // namespace tarnwick
