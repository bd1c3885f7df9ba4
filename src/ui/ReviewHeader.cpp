#include "ui/ReviewHeader.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/SaturatingAdd.h"
#include "ui/DeferredRefresh.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tarnwick {

namespace {

template <typename Cases, typename Value>
int indexOf(const Cases &cases, Value value)
{
    return static_cast<int>(std::find(cases.begin(), cases.end(), value) - cases.begin());
}

}  // namespace

ReviewHeader::ReviewHeader(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_refresh(new DeferredRefresh(this, [this] { refresh(); }))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->setSpacing(10);

    auto *top = new QHBoxLayout;
    auto *texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto *heading = new QLabel(QStringLiteral("Review Results"), this);
    ui::style(heading, ui::TextStyle::title);
    auto *explanation = new QLabel(QStringLiteral("Tarnwick selects found folders by default. Uncheck anything you "
                                                  "want to keep, then move the selected folders to Trash."),
                                   this);
    explanation->setWordWrap(true);
    m_summary = new QLabel(this);
    ui::style(m_summary, ui::TextStyle::subheadline, true);
    texts->addWidget(heading);
    texts->addWidget(explanation);
    texts->addWidget(m_summary);
    top->addLayout(texts, 1);
    m_clean = new QPushButton(this);
    top->addSpacing(12);
    top->addWidget(m_clean, 0, Qt::AlignTop);
    layout->addLayout(top);
    connect(m_clean, &QPushButton::clicked, this, [this] { m_state.requestDeleteConfirmation(); });

    auto *controls = new QHBoxLayout;
    controls->setSpacing(8);
    m_show = new QComboBox(this);
    m_show->setAccessibleName(QStringLiteral("Show"));
    for (const auto filter : allReviewFilters) {
        m_show->addItem(ui::qstring(title(filter)));
    }
    m_sort = new QComboBox(this);
    m_sort->setAccessibleName(QStringLiteral("Sort"));
    for (const auto mode : allCandidateSortModes) {
        m_sort->addItem(ui::qstring(title(mode)));
    }
    connect(m_show, &QComboBox::activated, this,
            [this](int index) { m_state.setReviewFilter(allReviewFilters.at(static_cast<std::size_t>(index))); });
    connect(m_sort, &QComboBox::activated, this,
            [this](int index) { m_state.setSortMode(allCandidateSortModes.at(static_cast<std::size_t>(index))); });
    m_shown = new QLabel(this);
    ui::style(m_shown, ui::TextStyle::caption, true);
    m_selectAll = new QPushButton(ui::symbolIcon("checkmark.circle"), QStringLiteral("Select All"), this);
    m_selectAll->setToolTip(QStringLiteral("Select every folder Tarnwick found."));
    m_clearSelection = new QPushButton(ui::symbolIcon("circle"), QStringLiteral("Clear Selection"), this);
    m_clearSelection->setToolTip(QStringLiteral("Unselect every folder."));
    connect(m_selectAll, &QPushButton::clicked, this, [this] { m_state.selectAllCandidates(); });
    connect(m_clearSelection, &QPushButton::clicked, this, [this] { m_state.clearSelection(); });
    controls->addWidget(m_show);
    controls->addWidget(m_sort);
    controls->addSpacing(4);
    controls->addWidget(m_shown);
    controls->addStretch();
    controls->addWidget(m_selectAll);
    controls->addWidget(m_clearSelection);
    layout->addLayout(controls);

    m_refresh->watch(&state, &AppState::candidatesChanged, &AppState::selectedCandidateIDsChanged,
                     &AppState::isScanningChanged, &AppState::isDeletingChanged, &AppState::cleanupActionChanged,
                     &AppState::reviewFilterChanged, &AppState::sortModeChanged, &AppState::searchTextChanged);
    refresh();
}

QString ReviewHeader::summary(const AppState &state)
{
    const auto count = static_cast<int64_t>(state.candidates().size());
    if (count == 0) {
        return state.isScanning() ? QStringLiteral("Scanning... results will appear here as they are found.")
                                  : QStringLiteral("No scan yet");
    }
    if (state.isScanning()) {
        return QStringLiteral("Scanning... ") + ui::qstring(countPhrase(count)) + QStringLiteral(" found so far.");
    }
    const auto selected = state.selectionTotals();
    if (selected.count == 0) {
        return QStringLiteral("Nothing selected. Select folders you want to clean.");
    }
    if (selected.count == count) {
        return QStringLiteral("All ") + ui::qstring(countPhrase(count)) + QStringLiteral(" selected - ") +
               ui::sizeText(selected.bytes) + QStringLiteral(" total. Uncheck anything you want to keep.");
    }
    return QString::number(selected.count) + QStringLiteral(" selected - ") + ui::sizeText(selected.bytes) +
           QStringLiteral(" of ") + ui::sizeText(state.totalSize()) + QStringLiteral(".");
}

QString ReviewHeader::summaryText() const
{
    return m_summary->text();
}

QString ReviewHeader::shownText() const
{
    return m_shown->text();
}

void ReviewHeader::refreshNow()
{
    m_refresh->now();
}

void ReviewHeader::refresh()
{
    const bool busy = ui::isBusy(m_state);
    const bool anySelected = !m_state.selectedCandidateIDs().empty();
    m_summary->setText(summary(m_state));

    const bool permanent = m_state.cleanupAction() == CleanupAction::deletePermanently;
    const QString action = ui::cleanupActionTitle(m_state.cleanupAction());
    m_clean->setText(action);
    m_clean->setIcon(ui::symbolIcon(permanent ? "trash.slash" : "trash", Qt::white));
    ui::setProminent(m_clean,
                     permanent ? ui::redColor(QApplication::palette()) : ui::accentColor(QApplication::palette()));
    m_clean->setEnabled(anySelected && !busy);
    m_clean->setToolTip(anySelected ? action + QStringLiteral(" selected folders.")
                                    : QStringLiteral("Select folders before cleaning."));

    m_show->setCurrentIndex(indexOf(allReviewFilters, m_state.reviewFilter()));
    m_sort->setCurrentIndex(indexOf(allCandidateSortModes, m_state.sortMode()));
    m_show->setEnabled(!busy);
    m_sort->setEnabled(!busy);

    int64_t shownBytes = 0;
    const auto &shown = m_state.displayedRows();
    for (const CleanupCandidate *candidate : shown) {
        shownBytes = saturatingAdd(shownBytes, candidate->size);
    }
    m_shown->setText(ui::qstring(countPhrase(static_cast<int64_t>(shown.size()))) + QStringLiteral(" - ") +
                     ui::sizeText(shownBytes));
    m_selectAll->setEnabled(!busy && !m_state.candidates().empty());
    m_clearSelection->setEnabled(!busy && anySelected);
}

}  // namespace tarnwick
