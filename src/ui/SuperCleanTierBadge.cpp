#include "ui/SuperCleanTierBadge.h"

#include "ui/DisplayText.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace tarnwick {

SuperCleanTierBadge::SuperCleanTierBadge(SuperCleanTier tier, QWidget *parent)
    : QWidget(parent), m_tier(tier), m_icon(new QLabel(this)), m_text(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_icon);
    layout->addWidget(m_text);
    layout->addStretch();
    m_text->setFont(badgeFont(font()));
    refresh();
}

void SuperCleanTierBadge::setTier(SuperCleanTier tier)
{
    if (tier != m_tier) {
        m_tier = tier;
        refresh();
    }
}

QString SuperCleanTierBadge::text(SuperCleanTier tier)
{
    return ui::qstring(title(tier));
}

const char *SuperCleanTierBadge::symbol(SuperCleanTier tier)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return "checkmark.shield";
    case SuperCleanTier::review:
        return "eye";
    case SuperCleanTier::advanced:
        return "exclamationmark.triangle";
    }
    return "eye";
}

QColor SuperCleanTierBadge::color(SuperCleanTier tier, const QPalette &palette)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return ui::greenColor(palette);
    case SuperCleanTier::review:
        return ui::blueColor(palette);
    case SuperCleanTier::advanced:
        return ui::orangeColor(palette);
    }
    return ui::blueColor(palette);
}

QFont SuperCleanTierBadge::badgeFont(const QFont &base)
{
    QFont caption = ui::font(ui::TextStyle::caption, base);
    caption.setWeight(QFont::Medium);
    return caption;
}

void SuperCleanTierBadge::paint(QPainter &painter, const QRect &rect, SuperCleanTier tier, const QPalette &palette,
                                const QFont &base)
{
    const QFont caption = badgeFont(base);
    const QFontMetrics metrics(caption);
    const int side = metrics.height();
    const QColor tint = color(tier, palette);
    const QRect iconRect(rect.left(), rect.center().y() - side / 2, side, side);
    ui::symbolIcon(symbol(tier), tint).paint(&painter, iconRect);
    painter.save();
    painter.setFont(caption);
    painter.setPen(tint);
    painter.drawText(QRect(iconRect.right() + 4, rect.top(), rect.width() - side - 4, rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text(tier));
    painter.restore();
}

void SuperCleanTierBadge::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        refresh();
    }
}

void SuperCleanTierBadge::refresh()
{
    const QColor tint = color(m_tier, palette());
    const int side = m_text->fontMetrics().height();
    m_icon->setPixmap(ui::symbolIcon(symbol(m_tier), tint).pixmap(side, side));
    m_text->setText(text(m_tier));
    ui::setTextColor(m_text, tint);
}

}  // namespace tarnwick
