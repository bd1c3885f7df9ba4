#include "ui/SuperCleanResultsStep.h"

#include "app/AppState.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/SuperCleanInspector.h"
#include "ui/SuperCleanItemList.h"
#include "ui/SuperCleanItemModel.h"
#include "ui/SuperCleanMetric.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"
#include "ui/SuperCleanTierBadge.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QWidget *noCandidatesPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    layout->addStretch();
    layout->addWidget(ui::makeSymbol("checkmark.shield", 40, ui::secondaryTextColor(page->palette()), page), 0,
                      Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(ui::makeLabel(QStringLiteral("No candidates found"), ui::TextStyle::title3, page), 0,
                      Qt::AlignHCenter);
    layout->addWidget(ui::makeLabel(QStringLiteral("Try adding another project folder or package-cache location."),
                                    ui::TextStyle::body, page, true),
                      0, Qt::AlignHCenter);
    layout->addStretch();
    return page;
}

QString emptyTierMessage(SuperCleanTier tier)
{
    switch (tier) {
    case SuperCleanTier::recommended:
        return QStringLiteral("No item passed every check for automatic selection. Look under Review and Advanced "
                              "for what was found.");
    case SuperCleanTier::review:
        return QStringLiteral("No item needs a closer look before cleaning.");
    case SuperCleanTier::advanced:
        return QStringLiteral("No item found here carries an advanced risk.");
    }
    return {};
}

}  // namespace

SuperCleanResultsStep::SuperCleanResultsStep(AppState &state, DesktopShell &shell, QWidget *parent)
    : QWidget(parent),
      m_coordinator(state.superCleanCoordinator()),
      m_model(new SuperCleanItemModel(m_coordinator, this)),
      m_found(new SuperCleanMetric(QStringLiteral("Found"), this)),
      m_selected(new SuperCleanMetric(QStringLiteral("Selected"), this)),
      m_tierGroup(new QButtonGroup(this)),
      m_body(new QStackedWidget(this)),
      m_list(new SuperCleanItemList(m_coordinator, *m_model, this)),
      m_inspector(new SuperCleanInspector(state, shell, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(10);

    auto *top = new QHBoxLayout;
    auto *heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(ui::makeLabel(QStringLiteral("Review before cleaning"), ui::TextStyle::title, this));
    heading->addWidget(ui::makeParagraph(
        QStringLiteral("Only Recommended items are selected automatically. Review and Advanced stay unselected."),
        ui::TextStyle::body, this, true));
    top->addLayout(heading, 1);
    top->addSpacing(12);
    m_found->setFixedWidth(150);
    m_selected->setFixedWidth(150);
    top->addWidget(m_found);
    top->addWidget(m_selected);
    layout->addLayout(top);

    auto *picker = new QHBoxLayout;
    picker->setSpacing(0);
    for (const SuperCleanTier tier : allSuperCleanTiers) {
        auto *button = new QPushButton(this);
        ui::makeSegment(button);
        button->setAutoDefault(false);
        button->setMinimumWidth(150);
        m_tierGroup->addButton(button, static_cast<int>(tier));
        m_tierButtons[static_cast<std::size_t>(tier)] = button;
        picker->addWidget(button);
    }
    m_tierGroup->setExclusive(true);
    m_tierButtons[0]->setChecked(true);
    picker->addStretch();
    layout->addLayout(picker);

    m_body->addWidget(noCandidatesPage(m_body));
    auto *content = new QWidget(m_body);
    auto *contentLayout = new QHBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(12);
    // A tier without items says so where its list would be, rather than showing an empty table.
    m_tierPages = new QStackedWidget(content);
    m_tierPages->addWidget(m_list);
    auto *emptyTier = new QWidget(m_tierPages);
    auto *emptyLayout = new QVBoxLayout(emptyTier);
    emptyLayout->addStretch();
    emptyLayout->addWidget(ui::makeSymbol("checkmark.shield", 32, ui::secondaryTextColor(emptyTier->palette()),
                                          emptyTier),
                           0, Qt::AlignHCenter);
    m_emptyTierTitle = ui::makeLabel({}, ui::TextStyle::headline, emptyTier);
    m_emptyTierTitle->setAlignment(Qt::AlignHCenter);
    m_emptyTierMessage = ui::makeParagraph({}, ui::TextStyle::body, emptyTier, true);
    m_emptyTierMessage->setAlignment(Qt::AlignHCenter);
    emptyLayout->addWidget(m_emptyTierTitle);
    emptyLayout->addWidget(m_emptyTierMessage);
    emptyLayout->addStretch();
    m_tierPages->addWidget(emptyTier);
    contentLayout->addWidget(m_tierPages, 1);
    contentLayout->addWidget(m_inspector);
    m_body->addWidget(content);
    layout->addWidget(m_body, 1);

    connect(m_tierGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setSelectedTier(static_cast<SuperCleanTier>(id)); });
    const auto refreshUnlessBusy = [this] {
        // A scan changes the list for every folder it finds; this step is not shown until it ends.
        if (!m_coordinator.isBusy()) {
            refresh();
        }
    };
    connect(&m_coordinator, &SuperCleanCoordinator::itemsChanged, this, refreshUnlessBusy);
    connect(&m_coordinator, &SuperCleanCoordinator::selectedItemIDsChanged, this, refreshUnlessBusy);
    connect(&m_coordinator, &SuperCleanCoordinator::phaseChanged, this, refreshUnlessBusy);
    m_inspector->setTierInView(m_selectedTier);
    refresh();
}

void SuperCleanResultsStep::setSelectedTier(SuperCleanTier tier)
{
    m_selectedTier = tier;
    m_tierButtons[static_cast<std::size_t>(tier)]->setChecked(true);
    m_model->setTier(tier);
    m_inspector->setTierInView(tier);
    refresh();
}

QWidget *SuperCleanResultsStep::emptyTierNote() const
{
    return m_tierPages->currentIndex() == 1 && m_body->currentIndex() == 1 ? m_tierPages->currentWidget() : nullptr;
}

void SuperCleanResultsStep::refresh()
{
    m_found->setValue(ui::sizeText(m_coordinator.foundBytes()));
    m_selected->setValue(ui::sizeText(m_coordinator.selectedBytes()));
    const std::array<int64_t, 3> counts{m_coordinator.recommendedCount(), m_coordinator.reviewCount(),
                                        m_coordinator.advancedCount()};
    for (const SuperCleanTier tier : allSuperCleanTiers) {
        const auto index = static_cast<std::size_t>(tier);
        m_tierButtons[index]->setText(
            QStringLiteral("%1 (%2)").arg(SuperCleanTierBadge::text(tier)).arg(counts[index]));
    }
    m_body->setCurrentIndex(m_coordinator.items().empty() ? 0 : 1);
    const bool tierEmpty = counts[static_cast<std::size_t>(m_selectedTier)] == 0;
    m_tierPages->setCurrentIndex(tierEmpty ? 1 : 0);
    m_emptyTierTitle->setText(QStringLiteral("Nothing in %1").arg(SuperCleanTierBadge::text(m_selectedTier)));
    m_emptyTierMessage->setText(emptyTierMessage(m_selectedTier));
}

}  // namespace tarnwick
