#include "ui/EmptyFilteredView.h"

#include "app/AppState.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

EmptyFilteredView::EmptyFilteredView(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_showAll(new QPushButton(QStringLiteral("Show All Results"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addStretch();
    auto *symbol = new QLabel(this);
    symbol->setPixmap(
        ui::symbolIcon("line.3.horizontal.decrease.circle", ui::secondaryTextColor(palette())).pixmap(48, 48));
    symbol->setAlignment(Qt::AlignCenter);
    auto *title = new QLabel(QStringLiteral("No Matching Results"), this);
    ui::style(title, ui::TextStyle::title3);
    title->setAlignment(Qt::AlignCenter);
    auto *message = new QLabel(QStringLiteral("Clear the filter or change what is shown."), this);
    ui::style(message, ui::TextStyle::body, true);
    message->setAlignment(Qt::AlignCenter);
    layout->addWidget(symbol);
    layout->addWidget(title);
    layout->addWidget(message);
    layout->addSpacing(6);
    layout->addWidget(m_showAll, 0, Qt::AlignHCenter);
    layout->addStretch();

    connect(m_showAll, &QPushButton::clicked, this, [this] {
        m_state.setSearchText({});
        m_state.setReviewFilter(ReviewFilter::all);
    });
    const auto refresh = [this] { m_showAll->setEnabled(!ui::isBusy(m_state)); };
    ui::onBusyChanged(state, this, refresh);
    refresh();
}

}  // namespace tarnwick
