#include "ui/StatsSummaryView.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick {

StatsSummaryView::StatsSummaryView(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_total(new QLabel(this)), m_history(new QLabel(this)),
      m_breakdown(new QLabel(this))
{
    setToolTip(QStringLiteral("Total cleanup history on this computer."));
    auto *heading = new QWidget(this);
    heading->setToolTip(QStringLiteral("Total size of folders Tarnwick has moved to Trash or deleted since "
                                       "installation. Trash items free disk space after Trash is emptied."));
    auto *headingLayout = new QHBoxLayout(heading);
    headingLayout->setContentsMargins(0, 0, 0, 0);
    headingLayout->setSpacing(5);
    auto *icon = new QLabel(heading);
    auto *label = new QLabel(QStringLiteral("Cleaned Since Install"), heading);
    ui::style(label, ui::TextStyle::caption, true);
    QFont labelFont = label->font();
    labelFont.setWeight(QFont::DemiBold);
    label->setFont(labelFont);
    const int side = label->fontMetrics().height();
    icon->setPixmap(ui::symbolIcon("internaldrive", ui::secondaryTextColor(palette())).pixmap(side, side));
    headingLayout->addWidget(icon);
    headingLayout->addWidget(label, 1);

    ui::style(m_total, ui::TextStyle::title);
    ui::style(m_history, ui::TextStyle::caption, true);
    ui::style(m_breakdown, ui::TextStyle::caption, true);
    m_history->setWordWrap(true);
    m_breakdown->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(heading);
    layout->addWidget(m_total);
    layout->addWidget(m_history);
    layout->addWidget(m_breakdown);
    connect(&state, &AppState::cleanupStatsChanged, this, &StatsSummaryView::refresh);
    refresh();
}

QString StatsSummaryView::totalText() const
{
    return m_total->text();
}

QString StatsSummaryView::historyText() const
{
    return m_history->text();
}

QString StatsSummaryView::breakdownText() const
{
    return m_breakdown->isHidden() ? QString() : m_breakdown->text();
}

void StatsSummaryView::refresh()
{
    const CleanupStats &stats = m_state.cleanupStats();
    const bool recorded = stats.cleanupRuns > 0;
    m_total->setText(ui::qstring(formatByteCount(stats.cleanedBytes)));
    m_history->setText(recorded ? ui::qstring(countPhrase(stats.cleanedFolders) + " cleaned")
                                : QStringLiteral("Your total appears after the first cleanup."));
    const std::string trash = formatByteCount(stats.movedToTrashBytes) + " in Trash";
    const std::string deleted = formatByteCount(stats.permanentlyDeletedBytes) + " deleted";
    std::string breakdown;
    if (stats.movedToTrashBytes > 0 && stats.permanentlyDeletedBytes > 0) {
        breakdown = trash + " - " + deleted;
    } else if (stats.movedToTrashBytes > 0) {
        breakdown = trash;
    } else if (stats.permanentlyDeletedBytes > 0) {
        breakdown = deleted;
    }
    m_breakdown->setText(ui::qstring(breakdown));
    m_breakdown->setVisible(recorded && !breakdown.empty());
}

}  // namespace tarnwick
