#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace tarnwick {

class PutBackController;
class SuperCleanCoordinator;
class SuperCleanMetric;

// The end of a cleaning: its summary and figures, and every item that was left alone or failed,
// with the reason.
class SuperCleanCompletionStep : public QWidget {
    Q_OBJECT
public:
    SuperCleanCompletionStep(SuperCleanCoordinator &coordinator, PutBackController &putBack, QWidget *parent = nullptr);

private:
    void refresh();

    SuperCleanCoordinator &m_coordinator;
    PutBackController &m_putBack;
    QLabel *m_symbol;
    QLabel *m_summary;
    QLabel *m_putBackOutcome;
    SuperCleanMetric *m_moved;
    SuperCleanMetric *m_selected;
    SuperCleanMetric *m_change;
    QWidget *m_problems;
    QLabel *m_problemCounts;
    QTreeWidget *m_problemList;
};

}  // namespace tarnwick
