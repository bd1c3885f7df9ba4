#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class ActivitySpinner;
class AppState;
class DeferredRefresh;
class ElidedLabel;

// The progress of the running scan or cleanup, shown above the results while either is busy: what
// it is doing, how far it has come, the folder it is in, and a Cancel button. A cleanup also shows
// a determinate bar over its folders.
class OperationBanner : public QWidget {
    Q_OBJECT
public:
    explicit OperationBanner(AppState &state, QWidget *parent = nullptr);

    QString headlineText() const;
    QString countsText() const;
    QString detailText() const;
    QString pathText() const;
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *cancelButton() const { return m_cancel; }
    void refreshNow();

private:
    void refresh();

    AppState &m_state;
    DeferredRefresh *m_refresh;
    ActivitySpinner *m_spinner;
    QLabel *m_headline;
    QLabel *m_counts;
    QPushButton *m_cancel;
    QProgressBar *m_progress;
    ElidedLabel *m_path;
    QLabel *m_detail;
};

}  // namespace tarnwick
