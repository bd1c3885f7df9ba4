#include "ui/CandidateTableModel.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "core/PathRules.h"
#include "ui/RelativeDateClock.h"
#include "ui/RelativeDateText.h"
#include "ui/StateBindings.h"


namespace tarnwick {

CandidateTableModel::CandidateTableModel(AppState &state, QObject *parent) : QAbstractTableModel(parent), m_state(state)
{
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(0);
    connect(&m_syncTimer, &QTimer::timeout, this, &CandidateTableModel::sync);

    const auto orderMayChange = [this] {
        m_orderMayChange = true;
        scheduleSync();
    };
    connect(&state, &AppState::candidatesChanged, this, &CandidateTableModel::scheduleSync);
    connect(&state, &AppState::focusedCandidateIDChanged, this, &CandidateTableModel::scheduleSync);
    connect(&state, &AppState::reviewFilterChanged, this, orderMayChange);
    connect(&state, &AppState::searchTextChanged, this, orderMayChange);
    connect(&state, &AppState::sortModeChanged, this, orderMayChange);
    connect(&state, &AppState::isScanningChanged, this, [this, orderMayChange] {
        m_busyChanged = true;
        orderMayChange();
    });
    connect(&state, &AppState::isDeletingChanged, this, [this] {
        m_busyChanged = true;
        scheduleSync();
    });
    connect(&state, &AppState::selectedCandidateIDsChanged, this, [this, orderMayChange] {
        m_selectionChanged = true;
        // The selection decides which rows the Selected and Not Selected filters keep.
        if (m_state.reviewFilter() != ReviewFilter::all) {
            orderMayChange();
        }
        scheduleSync();
    });
    // "2 hours ago" becomes "3 hours ago" without any change of the list: the column is told
    // again, and the view repaints the rows it shows.
    connect(&ui::RelativeDateClock::shared(), &ui::RelativeDateClock::ticked, this, [this] {
        if (m_rowCount > 0) {
            emit dataChanged(index(0, modifiedColumn), index(m_rowCount - 1, modifiedColumn), {Qt::DisplayRole});
        }
    });
    sync();
}

int CandidateTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int CandidateTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnTotal;
}

const CleanupCandidate *CandidateTableModel::candidate(int row) const
{
    const auto &rows = m_state.displayedRows();
    if (row < 0 || row >= m_rowCount || static_cast<std::size_t>(row) >= rows.size()) {
        return nullptr;
    }
    return rows[static_cast<std::size_t>(row)];
}

int CandidateTableModel::row(const std::string &id) const
{
    const auto &rows = m_state.displayedRows();
    const std::size_t shown = std::min(rows.size(), static_cast<std::size_t>(m_rowCount));
    for (std::size_t i = 0; i < shown; ++i) {
        if (rows[i]->id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QVariant CandidateTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const CleanupCandidate *shown = candidate(index.row());
    if (shown == nullptr) {
        return {};
    }
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case sizeColumn:
            return ui::sizeText(shown->size);
        case typeColumn:
            return QString::fromStdString(shown->category);
        case modifiedColumn:
            return modifiedText(shown->modifiedAt, ui::RelativeDateClock::shared().now());
        case pathColumn:
            return ui::displayName(shown->path);
        default:
            return {};
        }
    case secondLineRole:
        if (column == typeColumn) {
            return QString::fromStdString(shown->key);
        }
        if (column == pathColumn) {
            return ui::displayPath(shown->path);
        }
        return {};
    case Qt::CheckStateRole:
        if (column == cleanColumn) {
            return m_state.selectedCandidateIDs().contains(shown->id) ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case focusedRole:
        return shown->id == m_focusedID;
    case Qt::ToolTipRole:
        if (column == cleanColumn) {
            return QStringLiteral("Include this folder in cleanup.");
        }
        if (column == actionsColumn) {
            return QStringLiteral("More actions for this folder.");
        }
        // The path cell can only show an elided path: every cell names the whole one.
        return ui::displayPath(shown->path) + QStringLiteral("\nClick the row to select or unselect this folder.");
    case Qt::AccessibleTextRole:
        if (column == pathColumn) {
            return ui::displayPath(shown->path);
        }
        return data(index, Qt::DisplayRole);
    default:
        return {};
    }
}

QVariant CandidateTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnTotal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return columnTitle(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(section == cleanColumn ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags CandidateTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemNeverHasChildren;
    if (index.column() == cleanColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    // The checkbox and the actions menu change the list, which waits while a run is busy; the
    // other cells stay enabled so that a click still focuses the row.
    const bool busy = ui::isBusy(m_state);
    if (!busy || (index.column() != cleanColumn && index.column() != actionsColumn)) {
        flags |= Qt::ItemIsEnabled;
    }
    return flags;
}

bool CandidateTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != cleanColumn || !(flags(index) & Qt::ItemIsEnabled)) {
        return false;
    }
    const CleanupCandidate *shown = candidate(index.row());
    if (shown == nullptr) {
        return false;
    }
    m_state.setCandidate(shown->id, value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

void CandidateTableModel::scheduleSync()
{
    if (!m_syncTimer.isActive()) {
        m_syncTimer.start();
    }
}

void CandidateTableModel::synchronize()
{
    m_syncTimer.stop();
    sync();
}

QModelIndex CandidateTableModel::lastIndexOfRow(int row) const
{
    return index(row, columnTotal - 1);
}

void CandidateTableModel::sync()
{
    const auto &rows = m_state.displayedRows();
    const int count = static_cast<int>(rows.size());
    // Ids are unique, so when the first row and the row that was last are where they were, every
    // row between them is too, and the list can only have grown after them.
    const bool grewAtEnd = !m_orderMayChange && count >= m_rowCount &&
                           (m_rowCount == 0 || (rows.front()->id == m_firstID &&
                                                rows[static_cast<std::size_t>(m_rowCount - 1)]->id == m_lastID));
    const auto remember = [&] {
        m_rowCount = count;
        m_firstID = count > 0 ? rows.front()->id : std::string();
        m_lastID = count > 0 ? rows.back()->id : std::string();
    };
    bool reset = false;
    if (grewAtEnd) {
        if (count > m_rowCount) {
            beginInsertRows({}, m_rowCount, count - 1);
            remember();
            endInsertRows();
        }
    } else {
        beginResetModel();
        remember();
        const auto focused = m_state.focusedCandidate();
        m_focusedID = focused ? focused->id : std::string();
        endResetModel();
        reset = true;
    }
    m_orderMayChange = false;

    if (!reset && m_rowCount > 0 && (m_selectionChanged || m_busyChanged)) {
        // The set does not say which ids changed and finding out costs a probe per row; the view
        // repaints only the rows it shows anyway.
        // A selected row is tinted across all its cells.
        emit dataChanged(index(0, 0), lastIndexOfRow(m_rowCount - 1),
                         m_busyChanged ? QList<int>{} : QList<int>{Qt::CheckStateRole});
    }
    m_selectionChanged = false;
    m_busyChanged = false;

    if (!reset) {
        const auto focused = m_state.focusedCandidate();
        std::string focusedID = focused ? focused->id : std::string();
        if (focusedID != m_focusedID) {
            const int before = m_focusedID.empty() ? -1 : row(m_focusedID);
            const int after = focusedID.empty() ? -1 : row(focusedID);
            m_focusedID = std::move(focusedID);
            for (int changed : {before, after}) {
                if (changed >= 0) {
                    emit dataChanged(index(changed, 0), lastIndexOfRow(changed), {focusedRole});
                }
            }
        }
    }
}

QString CandidateTableModel::modifiedText(const std::optional<Timestamp> &modified, Timestamp now)
{
    return modified ? ui::relativeDateText(*modified, now) : QStringLiteral("Unknown");
}

QString CandidateTableModel::columnTitle(int column)
{
    switch (column) {
    case cleanColumn:
        return QStringLiteral("Clean");
    case sizeColumn:
        return QStringLiteral("Size");
    case typeColumn:
        return QStringLiteral("Type");
    case modifiedColumn:
        return QStringLiteral("Modified");
    case pathColumn:
        return QStringLiteral("Path");
    default:
        return {};
    }
}

int CandidateTableModel::columnWidth(int column)
{
    switch (column) {
    case cleanColumn:
        return 44;
    case sizeColumn:
        return 84;
    case typeColumn:
        return 130;
    case modifiedColumn:
        return 96;
    case actionsColumn:
        return 28;
    default:
        return 0;
    }
}

}  // namespace tarnwick
