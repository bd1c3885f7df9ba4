#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tarnwick {

class AppState;

// The settings: whether anonymous usage statistics are shared, and the update checks. Every control
// reads and writes the application state directly; the window keeps nothing of its own.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(AppState &state, QWidget *parent = nullptr);

    QCheckBox *analyticsSwitch() const { return m_analytics; }
    QCheckBox *automaticChecksSwitch() const { return m_automaticChecks; }
    QPushButton *checkNowButton() const { return m_checkNow; }
    QPushButton *downloadButton() const { return m_download; }
    QLabel *updateMessage() const { return m_message; }

private:
    void refresh();

    AppState &m_state;
    QCheckBox *m_analytics;
    QCheckBox *m_automaticChecks;
    QPushButton *m_checkNow;
    QProgressBar *m_spinner;
    QLabel *m_message;
    QPushButton *m_download;
};

}  // namespace tarnwick
