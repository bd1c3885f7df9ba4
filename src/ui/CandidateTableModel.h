#pragma once

#include "engine/CleanupCandidate.h"

#include <QAbstractTableModel>
#include <QTimer>
#include <chrono>
#include <optional>
#include <string>

namespace tarnwick {

class AppState;

// The review list as a table: one row per displayed candidate, in the application state's order.
// Rows are read from the state on demand, never copied. The model follows the state's signals
// lazily: a burst of changes (a batch of live results, the end of a run) becomes one update at the
// next turn of the event loop. Live results that only lengthen the list become inserted rows, so a
// scan never rebuilds the table; any other change of the rows resets it. Selection and focus only
// repaint.
class CandidateTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { cleanColumn, sizeColumn, typeColumn, modifiedColumn, pathColumn, actionsColumn, columnTotal };
    enum Role {
        // The smaller second line of the two-line cells: the rule key, the full path.
        secondLineRole = Qt::UserRole + 1,
        // Whether the row is the candidate the inspector shows.
        focusedRole,
    };

    explicit CandidateTableModel(AppState &state, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The candidate shown in a row; null for a row the state no longer has (between a change and
    // the update that follows it).
    const CleanupCandidate *candidate(int row) const;
    // The row of a candidate, or -1.
    int row(const std::string &id) const;
    // Applies pending changes now instead of at the next turn of the event loop.
    void synchronize();

    // "3 days ago", or "Unknown" without a date.
    static QString modifiedText(const std::optional<Timestamp> &modified,
                                Timestamp now = std::chrono::system_clock::now());
    static QString columnTitle(int column);
    static int columnWidth(int column);  // 0 for the flexible path column

private:
    void scheduleSync();
    void sync();
    QModelIndex lastIndexOfRow(int row) const;

    AppState &m_state;
    QTimer m_syncTimer;
    // What has been announced to the views: the row count and the ids at both ends, so that an
    // update can tell a list that only grew at its end from one that changed.
    int m_rowCount = 0;
    std::string m_firstID;
    std::string m_lastID;
    std::string m_focusedID;
    bool m_orderMayChange = false;
    bool m_selectionChanged = false;
    bool m_busyChanged = false;
};

}  // namespace tarnwick
