#include "ui/SuperCleanMetric.h"

#include "ui/UiStyle.h"

#include <QPainter>

namespace tarnwick {

namespace {

constexpr int kPadding = 12;
constexpr qreal kSmallestPointSize = 7.0;

}  // namespace

SuperCleanMetric::SuperCleanMetric(const QString &title, QWidget *parent) : SuperCleanCard(parent, 8), m_title(title)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(title);
}

void SuperCleanMetric::setValue(const QString &value)
{
    if (value != m_value) {
        m_value = value;
        setAccessibleDescription(value);
        update();
    }
}

QSize SuperCleanMetric::sizeHint() const
{
    const QFontMetrics caption(ui::font(ui::TextStyle::caption, font()));
    const QFontMetrics figure(valueFont(QWIDGETSIZE_MAX));
    return {160, kPadding * 2 + caption.height() + 4 + figure.height()};
}

QSize SuperCleanMetric::minimumSizeHint() const
{
    return {80, sizeHint().height()};
}

QFont SuperCleanMetric::valueFont(int width) const
{
    QFont figure = ui::font(ui::TextStyle::title3, font());
    figure.setWeight(QFont::DemiBold);
    while (figure.pointSizeF() > kSmallestPointSize && QFontMetrics(figure).horizontalAdvance(m_value) > width) {
        figure.setPointSizeF(figure.pointSizeF() - 0.5);
    }
    return figure;
}

void SuperCleanMetric::paintEvent(QPaintEvent *event)
{
    SuperCleanCard::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRect inner = rect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const QFont caption = ui::font(ui::TextStyle::caption, font());
    painter.setFont(caption);
    painter.setPen(ui::secondaryTextColor(palette()));
    const QFontMetrics captionMetrics(caption);
    painter.drawText(inner.left(), inner.top() + captionMetrics.ascent(),
                     captionMetrics.elidedText(m_title, Qt::ElideRight, inner.width()));

    const QFont figure = valueFont(inner.width());
    painter.setFont(figure);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(inner.left(), inner.top() + captionMetrics.height() + 4, inner.width(),
                           inner.height() - captionMetrics.height() - 4),
                     Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(figure).elidedText(m_value, Qt::ElideRight,
                                                                                       inner.width()));
}

}  // namespace tarnwick
