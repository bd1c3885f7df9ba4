#pragma once

#include "core/SuperCleanTier.h"

#include <QAbstractTableModel>

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwick {

class SuperCleanCoordinator;
struct SuperCleanItem;

// The coordinator's items of one tier, in the coordinator's order, as the rows of the review list.
// It keeps only which of the coordinator's items it shows; the items themselves, the selection and
// the focus are read from the coordinator on every call.
//
// While a scan runs the model stays empty: the list is not on screen then, and following every live
// item would re-walk the whole list for each one. When the scan ends it fills once. Later changes
// (Always Keep, a cleaning taking items away) arrive as row removals, so the view keeps its place.
class SuperCleanItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { cleanColumn, sizeColumn, typeColumn, pathColumn, columnCount_ };
    enum Role {
        itemIDRole = Qt::UserRole + 1,
        tierRole,      // int of SuperCleanTier
        pathRole,      // the full path, for display
        focusedRole,   // bool
        selectedRole,  // bool
    };

    explicit SuperCleanItemModel(SuperCleanCoordinator &coordinator, QObject *parent = nullptr);

    SuperCleanTier tier() const { return m_tier; }
    void setTier(SuperCleanTier tier);

    // The row's item, or null for a row that is on its way out.
    const SuperCleanItem *itemAt(int row) const;
    int rowOf(const std::string &id) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool isLive() const;
    void sync();
    bool removeRowsNotIn(const std::vector<std::string> &ids, const std::vector<std::size_t> &indices);
    bool insertRowsFrom(const std::vector<std::string> &ids, const std::vector<std::size_t> &indices);
    void refreshAll();

    SuperCleanCoordinator &m_coordinator;
    SuperCleanTier m_tier = SuperCleanTier::recommended;
    std::vector<std::string> m_ids;       // the shown items' ids, in row order
    std::vector<std::size_t> m_indices;   // where each row's item is in the coordinator's list
};

}  // namespace tarnwick
