#include "ui/SuperCleanCompletionStep.h"

#include "app/PutBackController.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/SuperCleanCard.h"
#include "ui/SuperCleanMetric.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"
#include "ui/SymbolIcons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnwick {

SuperCleanCompletionStep::SuperCleanCompletionStep(SuperCleanCoordinator &coordinator, PutBackController &putBack,
                                                   QWidget *parent)
    : QWidget(parent),
      m_coordinator(coordinator),
      m_putBack(putBack),
      m_symbol(new QLabel(this)),
      m_summary(ui::makeParagraph({}, ui::TextStyle::body, this, true)),
      m_putBackOutcome(ui::makeParagraph({}, ui::TextStyle::body, this, true)),
      m_moved(new SuperCleanMetric(QStringLiteral("Moved to Trash"), this)),
      m_selected(new SuperCleanMetric(QStringLiteral("Selected"), this)),
      m_change(new SuperCleanMetric(QStringLiteral("Observed Change"), this)),
      m_problems(new QWidget(this)),
      m_problemCounts(ui::makeLabel({}, ui::TextStyle::body, m_problems, true)),
      m_problemList(new QTreeWidget(m_problems))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(10);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(m_symbol, 0, Qt::AlignTop);
    auto *heading = new QVBoxLayout;
    heading->setSpacing(4);
    heading->addWidget(ui::makeLabel(QStringLiteral("Super Clean Finished"), ui::TextStyle::title, this));
    m_summary->setObjectName(QStringLiteral("completionSummary"));
    heading->addWidget(m_summary);
    m_putBackOutcome->setObjectName(QStringLiteral("putBackOutcome"));
    heading->addWidget(m_putBackOutcome);
    top->addLayout(heading, 1);
    layout->addLayout(top);

    auto *metrics = new QHBoxLayout;
    metrics->setSpacing(10);
    metrics->addWidget(m_moved);
    metrics->addWidget(m_selected);
    metrics->addWidget(m_change);
    layout->addLayout(metrics);

    auto *problemsLayout = new QVBoxLayout(m_problems);
    problemsLayout->setContentsMargins(0, 6, 0, 0);
    problemsLayout->setSpacing(4);
    problemsLayout->addWidget(ui::makeLabel(QStringLiteral("Skipped or failed"), ui::TextStyle::headline, m_problems));
    m_problemCounts->setObjectName(QStringLiteral("problemCounts"));
    problemsLayout->addWidget(m_problemCounts);
    m_problemList->setColumnCount(2);
    m_problemList->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Reason")});
    m_problemList->setRootIsDecorated(false);
    m_problemList->setSelectionMode(QAbstractItemView::NoSelection);
    m_problemList->setFocusPolicy(Qt::NoFocus);
    m_problemList->setTextElideMode(Qt::ElideMiddle);
    m_problemList->header()->setStretchLastSection(false);
    m_problemList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_problemList->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    m_problemList->header()->resizeSection(1, 300);
    problemsLayout->addWidget(m_problemList, 1);
    layout->addWidget(m_problems, 1);
    layout->addStretch();

    auto *note = new SuperCleanCard(this, 8);
    auto *noteLayout = new QHBoxLayout(note);
    noteLayout->setContentsMargins(12, 8, 12, 8);
    noteLayout->addWidget(ui::makeParagraph(
        QStringLiteral("To recover an item, open Trash and drag it back before emptying Trash."),
        ui::TextStyle::caption, note, true));
    layout->addWidget(note);

    connect(&coordinator, &SuperCleanCoordinator::resultChanged, this, &SuperCleanCompletionStep::refresh);
    connect(&putBack, &PutBackController::outcomeTextChanged, this, &SuperCleanCompletionStep::refresh);
    refresh();
}

void SuperCleanCompletionStep::refresh()
{
    const auto &result = m_coordinator.result();
    const bool failed = result && !result->failures.empty();
    const QColor tint = failed ? ui::orangeColor(palette()) : ui::greenColor(palette());
    m_symbol->setPixmap(
        ui::symbolIcon(failed ? "exclamationmark.triangle.fill" : "checkmark.circle.fill", tint).pixmap(44, 44));
    m_symbol->setFixedSize(44, 44);
    m_summary->setText(result ? ui::qstring(result->report.summaryText()) : QStringLiteral("No items were moved."));
    m_putBackOutcome->setText(ui::qstring(m_putBack.outcomeText()));
    m_putBackOutcome->setVisible(!m_putBack.outcomeText().empty());
    const SuperCleanCompletionReport report = result ? result->report : SuperCleanCompletionReport{};
    m_moved->setValue(ui::sizeText(report.movedToTrashBytes));
    m_selected->setValue(ui::sizeText(report.selectedBytes));
    m_change->setValue(ui::sizeText(report.observedAvailableSpaceChange));

    m_problemList->clear();
    const bool anyProblem =
        result && (!result->skipped.empty() || result->missingCount > 0 || !result->failures.empty());
    m_problems->setVisible(anyProblem);
    if (!anyProblem) {
        return;
    }
    m_problemCounts->setText(QStringLiteral("%1 skipped, %2 already gone, %3 failed.")
                                 .arg(result->skipped.size())
                                 .arg(result->missingCount)
                                 .arg(result->failures.size()));
    for (const auto &skipped : result->skipped) {
        auto *row =
            new QTreeWidgetItem(m_problemList, {ui::displayPath(skipped.candidate.path), ui::qstring(skipped.reason)});
        row->setToolTip(0, ui::displayPath(skipped.candidate.path));
    }
    for (const auto &failure : result->failures) {
        auto *row = new QTreeWidgetItem(m_problemList, {ui::displayPath(failure.path), ui::qstring(failure.message)});
        row->setToolTip(0, ui::displayPath(failure.path));
        row->setToolTip(1, ui::qstring(failure.message));
    }
}

}  // namespace tarnwick
