#include "ui/ActivitySpinner.h"

#include "ui/UiStyle.h"

#include <QPainter>

namespace tarnwick {

namespace {
constexpr int kSpokes = 12;
}

ActivitySpinner::ActivitySpinner(QWidget *parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
}

void ActivitySpinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void ActivitySpinner::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void ActivitySpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = std::min(width(), height()) / 2.0;
    QColor color = ui::secondaryTextColor(palette());
    for (int spoke = 0; spoke < kSpokes; ++spoke) {
        const int age = (m_step - spoke + kSpokes) % kSpokes;
        color.setAlphaF(1.0 - 0.75 * age / (kSpokes - 1));
        painter.setPen(QPen(color, outer / 4.5, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(spoke * 360.0 / kSpokes);
        painter.drawLine(QPointF(0, -outer * 0.5), QPointF(0, -outer * 0.9));
        painter.restore();
    }
}

}  // namespace tarnwick
