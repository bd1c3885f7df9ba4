#include "ui/SuperCleanInspector.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"
#include "ui/SuperCleanTierBadge.h"
#include "ui/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QWidget *emptyPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch();
    auto *symbol = ui::makeSymbol("sidebar.right", 32, ui::secondaryTextColor(page->palette()), page);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(ui::makeLabel(QStringLiteral("Select an item"), ui::TextStyle::headline, page), 0,
                      Qt::AlignHCenter);
    layout->addWidget(ui::makeLabel(QStringLiteral("Reasons and consequences appear here."), ui::TextStyle::caption,
                                    page, true),
                      0, Qt::AlignHCenter);
    layout->addStretch();
    return page;
}

QPushButton *actionButton(const QString &text, const char *symbol, const QString &help, QWidget *parent)
{
    auto *button = new QPushButton(ui::symbolIcon(symbol), text, parent);
    button->setToolTip(help);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

SuperCleanInspector::SuperCleanInspector(AppState &state, DesktopShell &shell, QWidget *parent)
    : SuperCleanCard(parent),
      m_state(state),
      m_shell(shell),
      m_coordinator(state.superCleanCoordinator()),
      m_pages(new QStackedWidget(this))
{
    setFixedWidth(330);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_pages);
    m_pages->addWidget(emptyPage(m_pages));

    auto *page = new QWidget(m_pages);
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 14);
    auto *scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto *content = new QWidget(scroll);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(16, 16, 16, 8);
    contentLayout->setSpacing(6);

    m_name = ui::makeParagraph({}, ui::TextStyle::title, content);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_name->setObjectName(QStringLiteral("inspectorName"));
    m_size = ui::makeLabel({}, ui::TextStyle::title3, content);
    m_badge = new SuperCleanTierBadge(SuperCleanTier::recommended, content);
    contentLayout->addWidget(m_name);
    contentLayout->addWidget(m_size);
    contentLayout->addWidget(m_badge);
    contentLayout->addSpacing(8);

    m_reasons = new QWidget(content);
    m_reasonsLayout = new QVBoxLayout(m_reasons);
    m_reasonsLayout->setContentsMargins(0, 0, 0, 0);
    m_reasonsLayout->setSpacing(10);
    contentLayout->addWidget(m_reasons);
    contentLayout->addSpacing(10);

    contentLayout->addWidget(
        ui::makeLabel(QStringLiteral("Consequence").toUpper(), ui::TextStyle::caption, content, true));
    m_consequence = ui::makeParagraph({}, ui::TextStyle::body, content);
    m_consequence->setObjectName(QStringLiteral("inspectorConsequence"));
    contentLayout->addWidget(m_consequence);
    contentLayout->addStretch();
    scroll->setWidget(content);
    // setWidget() makes the content paint the window colour; the card's own colour should show.
    content->setAutoFillBackground(false);
    pageLayout->addWidget(scroll, 1);

    auto *actions = new QHBoxLayout;
    actions->setContentsMargins(16, 0, 16, 0);
    actions->setSpacing(6);
    auto *reveal = actionButton(QStringLiteral("Reveal"), "finder", QStringLiteral("Show in File Manager"), page);
    auto *copy = actionButton(QStringLiteral("Copy Path"), "doc.on.doc", {}, page);
    m_keep = actionButton(QStringLiteral("Always Keep"), "hand.raised", {}, page);
    actions->addWidget(reveal);
    actions->addWidget(copy);
    actions->addWidget(m_keep);
    pageLayout->addLayout(actions);
    m_pages->addWidget(page);

    connect(reveal, &QPushButton::clicked, this, &SuperCleanInspector::revealFocused);
    connect(copy, &QPushButton::clicked, this, &SuperCleanInspector::copyFocusedPath);
    connect(m_keep, &QPushButton::clicked, this, &SuperCleanInspector::keepFocused);
    connect(&m_coordinator, &SuperCleanCoordinator::focusedItemIDChanged, this, &SuperCleanInspector::refresh);
    connect(&m_coordinator, &SuperCleanCoordinator::phaseChanged, this, &SuperCleanInspector::refresh);
    connect(&m_coordinator, &SuperCleanCoordinator::itemsChanged, this, [this] {
        // Not on screen while a scan fills the list; it catches up when the phase moves on.
        if (!m_coordinator.isBusy()) {
            refresh();
        }
    });
    refresh();
}

void SuperCleanInspector::setTierInView(std::optional<SuperCleanTier> tier)
{
    m_tierInView = tier;
    refresh();
}

void SuperCleanInspector::refresh()
{
    auto item = m_coordinator.focusedItem();
    if (item && m_tierInView && item->decision.tier != *m_tierInView) {
        item.reset();
    }
    m_keep->setEnabled(!m_coordinator.isBusy());
    m_shownID = item ? std::optional<std::string>(item->id) : std::nullopt;
    if (!item) {
        m_pages->setCurrentIndex(0);
        return;
    }
    m_pages->setCurrentIndex(1);
    m_name->setText(ui::displayName(item->candidate.path));
    m_name->setToolTip(ui::displayPath(item->candidate.path));
    m_size->setText(ui::sizeText(item->candidate.size));
    m_badge->setTier(item->decision.tier);
    while (QLayoutItem *old = m_reasonsLayout->takeAt(0)) {
        delete old->widget();
        delete old;
    }
    for (const auto &reason : item->decision.reasons) {
        auto *row = new QWidget(m_reasons);
        auto *rowLayout = new QVBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->setSpacing(2);
        auto *title = ui::makeParagraph(ui::qstring(reason.title), ui::TextStyle::headline, row);
        title->setObjectName(QStringLiteral("reasonTitle"));
        rowLayout->addWidget(title);
        rowLayout->addWidget(ui::makeParagraph(ui::qstring(reason.detail), ui::TextStyle::caption, row, true));
        m_reasonsLayout->addWidget(row);
    }
    m_consequence->setText(ui::qstring(item->decision.consequence));
}

void SuperCleanInspector::revealFocused()
{
    if (const auto item = m_coordinator.focusedItem(); item && m_shownID == item->id) {
        m_shell.revealInFileManager(item->candidate.path);
    }
}

void SuperCleanInspector::copyFocusedPath()
{
    if (const auto item = m_coordinator.focusedItem(); item && m_shownID == item->id) {
        m_shell.copyToClipboard(item->candidate.path);
    }
}

void SuperCleanInspector::keepFocused()
{
    if (const auto item = m_coordinator.focusedItem(); item && m_shownID == item->id) {
        // The coordinator leaves it out of this session; the application's own list keeps it out of
        // later classic scans and guided sessions too.
        m_coordinator.markAlwaysKeep(*item);
        m_state.exclude(item->candidate);
    }
}

}  // namespace tarnwick
