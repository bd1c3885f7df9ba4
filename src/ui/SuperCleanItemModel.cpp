#include "ui/SuperCleanItemModel.h"

#include "app/SuperCleanCoordinator.h"
#include "ui/DisplayText.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QBrush>

#include <algorithm>
#include <limits>

namespace tarnwick {

namespace {

// The place of a row whose item has already left the coordinator's list while its removal is being
// announced.
constexpr std::size_t kLeaving = std::numeric_limits<std::size_t>::max();

}  // namespace

SuperCleanItemModel::SuperCleanItemModel(SuperCleanCoordinator &coordinator, QObject *parent)
    : QAbstractTableModel(parent), m_coordinator(coordinator)
{
    connect(&coordinator, &SuperCleanCoordinator::itemsChanged, this, [this] {
        if (isLive()) {
            sync();
        }
    });
    connect(&coordinator, &SuperCleanCoordinator::phaseChanged, this, &SuperCleanItemModel::sync);
    connect(&coordinator, &SuperCleanCoordinator::selectedItemIDsChanged, this, &SuperCleanItemModel::refreshAll);
    connect(&coordinator, &SuperCleanCoordinator::focusedItemIDChanged, this, &SuperCleanItemModel::refreshAll);
    sync();
}

void SuperCleanItemModel::setTier(SuperCleanTier tier)
{
    if (tier != m_tier) {
        m_tier = tier;
        beginResetModel();
        m_ids.clear();
        m_indices.clear();
        endResetModel();
        sync();
    }
}

bool SuperCleanItemModel::isLive() const
{
    const SuperCleanPhase phase = m_coordinator.phase();
    return phase != SuperCleanPhase::scanning && phase != SuperCleanPhase::analyzing;
}

const SuperCleanItem *SuperCleanItemModel::itemAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_indices.size()) {
        return nullptr;
    }
    const std::size_t index = m_indices[static_cast<std::size_t>(row)];
    const auto &items = m_coordinator.items();
    return index < items.size() ? &items[index] : nullptr;
}

int SuperCleanItemModel::rowOf(const std::string &id) const
{
    const auto found = std::find(m_ids.begin(), m_ids.end(), id);
    return found == m_ids.end() ? -1 : static_cast<int>(found - m_ids.begin());
}

void SuperCleanItemModel::sync()
{
    std::vector<std::string> ids;
    std::vector<std::size_t> indices;
    if (isLive()) {
        const auto &items = m_coordinator.items();
        for (std::size_t index = 0; index < items.size(); ++index) {
            if (items[index].decision.tier == m_tier) {
                ids.push_back(items[index].id);
                indices.push_back(index);
            }
        }
    }
    if (ids == m_ids) {
        m_indices = std::move(indices);
        refreshAll();
        return;
    }
    if (removeRowsNotIn(ids, indices) || insertRowsFrom(ids, indices)) {
        return;
    }
    beginResetModel();
    m_ids = std::move(ids);
    m_indices = std::move(indices);
    endResetModel();
}

// When the new rows are the old ones with some taken out: announces each run of leaving rows.
bool SuperCleanItemModel::removeRowsNotIn(const std::vector<std::string> &ids, const std::vector<std::size_t> &indices)
{
    if (ids.size() >= m_ids.size()) {
        return false;
    }
    std::vector<bool> kept(m_ids.size(), false);
    std::size_t next = 0;
    for (std::size_t row = 0; row < m_ids.size() && next < ids.size(); ++row) {
        if (m_ids[row] == ids[next]) {
            kept[row] = true;
            ++next;
        }
    }
    if (next != ids.size()) {
        return false;
    }
    // The coordinator's list has changed already: staying rows point at their items' new places and
    // leaving rows at nothing before anything is announced, so a view that reads during the
    // announcements never meets a stale place.
    next = 0;
    for (std::size_t row = 0; row < m_ids.size(); ++row) {
        m_indices[row] = kept[row] ? indices[next++] : kLeaving;
    }
    for (int last = static_cast<int>(m_ids.size()) - 1; last >= 0;) {
        if (kept[static_cast<std::size_t>(last)]) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && !kept[static_cast<std::size_t>(first - 1)]) {
            --first;
        }
        beginRemoveRows(QModelIndex(), first, last);
        m_ids.erase(m_ids.begin() + first, m_ids.begin() + last + 1);
        m_indices.erase(m_indices.begin() + first, m_indices.begin() + last + 1);
        endRemoveRows();
        last = first - 1;
    }
    return true;
}

// When the old rows are all among the new ones, in the same order: announces each run of new rows.
bool SuperCleanItemModel::insertRowsFrom(const std::vector<std::string> &ids, const std::vector<std::size_t> &indices)
{
    if (ids.size() <= m_ids.size()) {
        return false;
    }
    std::vector<bool> isOld(ids.size(), false);
    std::size_t next = 0;
    for (std::size_t position = 0; position < ids.size() && next < m_ids.size(); ++position) {
        if (ids[position] == m_ids[next]) {
            isOld[position] = true;
            ++next;
        }
    }
    if (next != m_ids.size()) {
        return false;
    }
    next = 0;
    for (std::size_t position = 0; position < ids.size(); ++position) {
        if (isOld[position]) {
            m_indices[next++] = indices[position];
        }
    }
    const int count = static_cast<int>(ids.size());
    for (int first = 0; first < count;) {
        if (isOld[static_cast<std::size_t>(first)]) {
            ++first;
            continue;
        }
        int last = first;
        while (last + 1 < count && !isOld[static_cast<std::size_t>(last + 1)]) {
            ++last;
        }
        beginInsertRows(QModelIndex(), first, last);
        m_ids.insert(m_ids.begin() + first, ids.begin() + first, ids.begin() + last + 1);
        m_indices.insert(m_indices.begin() + first, indices.begin() + first, indices.begin() + last + 1);
        endInsertRows();
        first = last + 1;
    }
    return true;
}

void SuperCleanItemModel::refreshAll()
{
    if (!m_ids.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount_ - 1));
    }
}

int SuperCleanItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

int SuperCleanItemModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QVariant SuperCleanItemModel::data(const QModelIndex &index, int role) const
{
    const SuperCleanItem *item = checkIndex(index, CheckIndexOption::IndexIsValid) ? itemAt(index.row()) : nullptr;
    if (item == nullptr) {
        return {};
    }
    const bool selected = m_coordinator.selectedItemIDs().contains(item->id);
    const bool focused = m_coordinator.focusedItemID() == item->id;
    switch (role) {
    case itemIDRole:
        return QByteArray::fromStdString(item->id);
    case tierRole:
        return static_cast<int>(item->decision.tier);
    case pathRole:
        return ui::displayPath(item->candidate.path);
    case focusedRole:
        return focused;
    case selectedRole:
        return selected;
    case Qt::ToolTipRole:
        return QStringLiteral("Click to select or unselect this item.");
    case Qt::BackgroundRole:
        if (focused || selected) {
            QColor tint = ui::accentColor(QApplication::palette());
            tint.setAlpha(focused ? 60 : 26);
            return QBrush(tint);
        }
        return {};
    case Qt::CheckStateRole:
        if (index.column() == cleanColumn) {
            return selected ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::DisplayRole:
        switch (index.column()) {
        case sizeColumn:
            return ui::sizeText(item->candidate.size);
        case typeColumn:
            return ui::qstring(item->candidate.key);
        case pathColumn:
            return ui::displayName(item->candidate.path);
        default:
            return {};
        }
    default:
        return {};
    }
}

QVariant SuperCleanItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case cleanColumn:
        return QStringLiteral("Clean");
    case sizeColumn:
        return QStringLiteral("Size");
    case typeColumn:
        return QStringLiteral("Type");
    case pathColumn:
        return QStringLiteral("Path");
    default:
        return {};
    }
}

Qt::ItemFlags SuperCleanItemModel::flags(const QModelIndex &index) const
{
    // Not user-checkable: a click anywhere on the row, the box included, flips the selection once,
    // through the list rather than through the delegate.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace tarnwick
