#include "ui/InfoButton.h"

#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

InfoButton::InfoButton(const QString &title, const QString &message, QWidget *parent)
    : QToolButton(parent), m_title(title), m_message(message)
{
    setAutoRaise(true);
    setIcon(ui::symbolIcon("info.circle", ui::secondaryTextColor(palette())));
    setIconSize(QSize(14, 14));
    setToolTip(message);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QToolButton::clicked, this, &InfoButton::togglePopover);
}

bool InfoButton::isPopoverShown() const
{
    return m_popover && m_popover->isVisible();
}

void InfoButton::togglePopover()
{
    if (isPopoverShown()) {
        m_popover->close();
        return;
    }
    auto *popover = new QFrame(this, Qt::Popup);
    popover->setAttribute(Qt::WA_DeleteOnClose);
    popover->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(popover);
    layout->setContentsMargins(12, 10, 12, 12);
    auto *title = new QLabel(m_title, popover);
    ui::style(title, ui::TextStyle::headline);
    auto *message = new QLabel(m_message, popover);
    message->setWordWrap(true);
    message->setFixedWidth(260);
    layout->addWidget(title);
    layout->addWidget(message);
    popover->adjustSize();
    popover->move(mapToGlobal(QPoint(0, height())));
    popover->show();
    m_popover = popover;
}

}  // namespace tarnwick
