#include "ui/SuperCleanProgressStep.h"

#include "app/SuperCleanCoordinator.h"
#include "core/CountPhrase.h"
#include "ui/DeferredRefresh.h"
#include "ui/DisplayText.h"
#include "ui/ElidedLabel.h"
#include "ui/SuperCleanCard.h"
#include "ui/SuperCleanMetric.h"
#include "ui/SuperCleanStyle.h"
#include "ui/SuperCleanTierBadge.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

SuperCleanProgressStep::SuperCleanProgressStep(SuperCleanCoordinator &coordinator, QWidget *parent)
    : QWidget(parent), m_coordinator(coordinator), m_message(ui::makeLabel({}, ui::TextStyle::headline, this)),
      m_path(new ElidedLabel(Qt::ElideMiddle, this)), m_found(ui::makeLabel({}, ui::TextStyle::title3, this)),
      m_checked(new SuperCleanMetric(QStringLiteral("Folders Checked"), this)),
      m_matches(new SuperCleanMetric(QStringLiteral("Matches"), this)),
      m_measured(new SuperCleanMetric(QStringLiteral("Measured"), this)),
      m_progressRefresh(new DeferredRefresh(this, [this] { refreshProgress(); })),
      m_itemsRefresh(new DeferredRefresh(this, [this] { refreshItems(); }))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(8);
    layout->addWidget(m_message);
    ui::style(m_path, ui::TextStyle::caption, true);
    // Room below the baseline for the underscores of folder names.
    m_path->setMinimumHeight(m_path->fontMetrics().height() + 4);
    layout->addWidget(m_path);
    layout->addSpacing(6);
    m_found->setObjectName(QStringLiteral("foundSoFar"));
    layout->addWidget(m_found);
    auto *metrics = new QHBoxLayout;
    metrics->setSpacing(10);
    metrics->addWidget(m_checked);
    metrics->addWidget(m_matches);
    metrics->addWidget(m_measured);
    layout->addLayout(metrics);
    layout->addSpacing(8);
    layout->addWidget(ui::makeLabel(QStringLiteral("Live results"), ui::TextStyle::headline, this));

    auto *list = new SuperCleanCard(this);
    m_list = list;
    auto *listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(14, 4, 14, 4);
    listLayout->setSpacing(0);
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        auto *row = new QWidget(list);
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 5, 0, 5);
        rowLayout->setSpacing(10);
        auto *name = ui::makeLabel({}, ui::TextStyle::body, row);
        name->setObjectName(QStringLiteral("liveResultName"));
        auto *path = new ElidedLabel(Qt::ElideMiddle, row);
        ui::style(path, ui::TextStyle::caption, true);
        auto *badge = new SuperCleanTierBadge(SuperCleanTier::recommended, row);
        badge->setFixedWidth(120);
        auto *size = ui::makeLabel({}, ui::TextStyle::body, row, true);
        size->setMinimumWidth(80);
        size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rowLayout->addWidget(name);
        rowLayout->addWidget(path, 1);
        rowLayout->addWidget(badge);
        rowLayout->addWidget(size);
        // Each row but the first has a divider above it that comes and goes with the row.
        QFrame *divider = index > 0 ? ui::makeDivider(list) : nullptr;
        if (divider != nullptr) {
            listLayout->addWidget(divider);
        }
        listLayout->addWidget(row);
        m_rows[index] = {row, divider, name, path, badge, size};
    }
    layout->addWidget(list);
    layout->addStretch();

    m_progressRefresh->watch(&coordinator, &SuperCleanCoordinator::scanProgressChanged);
    m_itemsRefresh->watch(&coordinator, &SuperCleanCoordinator::itemsChanged);
    refreshProgress();
    refreshItems();
}

void SuperCleanProgressStep::refreshProgress()
{
    const ScanProgress &progress = m_coordinator.scanProgress();
    m_message->setText(ui::qstring(progress.message));
    m_path->setFullText(ui::displayPath(progress.currentPath));
    m_checked->setValue(QString::number(progress.visitedDirs));
    m_matches->setValue(QString::number(progress.matchedDirs));
    m_measured->setValue(ui::sizeText(progress.bytesSoFar));
}

void SuperCleanProgressStep::refreshItems()
{
    // Only the leading items: reading the whole list would merge it for every burst of a long scan.
    const auto &items = m_coordinator.leadingItems();
    const QString count = ui::qstring(countPhrase(static_cast<int64_t>(m_coordinator.itemCount())));
    m_found->setText(QStringLiteral("Found %1 so far").arg(count));
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        const LiveRow &row = m_rows[index];
        const bool shown = index < items.size();
        row.row->setVisible(shown);
        if (row.divider != nullptr) {
            row.divider->setVisible(shown);
        }
        if (shown) {
            row.name->setText(ui::displayName(items[index].candidate.path));
            row.path->setFullText(ui::displayPath(items[index].candidate.path));
            row.badge->setTier(items[index].decision.tier);
            row.size->setText(ui::sizeText(items[index].candidate.size));
        }
    }
    m_list->setVisible(!items.empty());
}

}  // namespace tarnwick
