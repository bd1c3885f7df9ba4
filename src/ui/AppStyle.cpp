#include "ui/AppStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace tarnwick::ui {

AppStyle::AppStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void AppStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                           const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || item == nullptr || item->menuItemType != QStyleOptionMenuItem::Separator ||
        !item->text.isEmpty()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    painter->save();
    painter->fillRect(option->rect, option->palette.window());
    const int y = option->rect.center().y();
    painter->setPen(QPen(option->palette.color(QPalette::Mid), 1));
    painter->drawLine(option->rect.left() + 6, y, option->rect.right() - 6, y);
    painter->restore();
}

}  // namespace tarnwick::ui
