#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tarnwick {

class ElidedLabel;
class SuperCleanCoordinator;
class SuperCleanMetric;

// The cleaning as it runs: which item of how many, where, and how many moved or failed so far.
class SuperCleanCleaningStep : public QWidget {
    Q_OBJECT
public:
    explicit SuperCleanCleaningStep(SuperCleanCoordinator &coordinator, QWidget *parent = nullptr);

private:
    void refresh();

    SuperCleanCoordinator &m_coordinator;
    QProgressBar *m_bar;
    QWidget *m_spinner;
    QLabel *m_message;
    QLabel *m_position;
    ElidedLabel *m_path;
    SuperCleanMetric *m_moved;
    SuperCleanMetric *m_failed;
};

}  // namespace tarnwick
