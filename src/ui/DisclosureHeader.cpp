#include "ui/DisclosureHeader.h"

#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace tarnwick {

DisclosureHeader::DisclosureHeader(const char *symbol, const QString &title, QWidget *parent)
    : QWidget(parent), m_chevron(new QToolButton(this))
{
    m_chevron->setAutoRaise(true);
    m_chevron->setArrowType(Qt::RightArrow);
    m_chevron->setFixedSize(16, 16);
    m_chevron->setAccessibleName(title);
    auto *icon = new QLabel(this);
    icon->setPixmap(ui::symbolIcon(symbol, ui::accentColor(palette())).pixmap(16, 16));
    auto *label = new QLabel(title, this);
    ui::style(label, ui::TextStyle::headline);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(6);
    layout->addWidget(m_chevron);
    layout->addWidget(icon);
    layout->addWidget(label, 1);
    setCursor(Qt::PointingHandCursor);
    connect(m_chevron, &QToolButton::clicked, this, &DisclosureHeader::toggleRequested);
}

void DisclosureHeader::setExpanded(bool expanded)
{
    m_expanded = expanded;
    m_chevron->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
}

void DisclosureHeader::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit toggleRequested();
    }
}

}  // namespace tarnwick
