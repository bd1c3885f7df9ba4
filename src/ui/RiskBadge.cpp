#include "ui/RiskBadge.h"

#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace tarnwick {

RiskBadge::RiskBadge(CleanupRisk risk, QWidget *parent)
    : QWidget(parent), m_risk(risk), m_icon(new QLabel(this)), m_text(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_icon);
    layout->addWidget(m_text);
    QFont captionFont = ui::font(ui::TextStyle::caption, font());
    captionFont.setWeight(QFont::Medium);
    m_text->setFont(captionFont);
    refresh();
}

void RiskBadge::setRisk(CleanupRisk risk)
{
    if (risk != m_risk) {
        m_risk = risk;
        refresh();
    }
}

QString RiskBadge::text(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return QStringLiteral("Safe");
    case CleanupRisk::review:
        return QStringLiteral("Review");
    case CleanupRisk::advanced:
        return QStringLiteral("Advanced");
    }
    return {};
}

const char *RiskBadge::symbol(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return "checkmark.shield";
    case CleanupRisk::review:
        return "eye";
    case CleanupRisk::advanced:
        return "exclamationmark.triangle";
    }
    return "checkmark.shield";
}

QColor RiskBadge::color(CleanupRisk risk, const QPalette &palette)
{
    switch (risk) {
    case CleanupRisk::safe:
        return ui::secondaryTextColor(palette);
    case CleanupRisk::review:
        return ui::blueColor(palette);
    case CleanupRisk::advanced:
        return ui::orangeColor(palette);
    }
    return ui::secondaryTextColor(palette);
}

void RiskBadge::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        refresh();
    }
}

void RiskBadge::refresh()
{
    const QColor tint = color(m_risk, palette());
    const int side = m_text->fontMetrics().height();
    m_icon->setPixmap(ui::symbolIcon(symbol(m_risk), tint).pixmap(side, side));
    m_text->setText(text(m_risk));
    ui::setTextColor(m_text, tint);
}

}  // namespace tarnwick
