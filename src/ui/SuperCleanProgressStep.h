#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;

namespace tarnwick {

class DeferredRefresh;
class ElidedLabel;
class SuperCleanCoordinator;
class SuperCleanMetric;
class SuperCleanTierBadge;

// The scan as it runs: what it is doing and where, how much it has seen, and the first few items
// of the live list.
class SuperCleanProgressStep : public QWidget {
    Q_OBJECT
public:
    // The live list shows at most this many items: the first ones in review order.
    static constexpr int kLiveRows = 8;

    explicit SuperCleanProgressStep(SuperCleanCoordinator &coordinator, QWidget *parent = nullptr);

private:
    struct LiveRow {
        QWidget *row;
        QFrame *divider;
        QLabel *name;
        ElidedLabel *path;
        SuperCleanTierBadge *badge;
        QLabel *size;
    };

    void refreshProgress();
    void refreshItems();

    SuperCleanCoordinator &m_coordinator;
    QLabel *m_message;
    ElidedLabel *m_path;
    QLabel *m_found;
    SuperCleanMetric *m_checked;
    SuperCleanMetric *m_matches;
    SuperCleanMetric *m_measured;
    QWidget *m_list = nullptr;
    std::array<LiveRow, kLiveRows> m_rows{};
    // A scan announces every record and every item; the step draws once per burst of them.
    DeferredRefresh *m_progressRefresh;
    DeferredRefresh *m_itemsRefresh;
};

}  // namespace tarnwick
