#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace tarnwick {

class AppState;
class DeferredRefresh;
class DesktopShell;

// What the review pane shows without results: that a scan is running, that a cleanup finished,
// that nothing was found, that a folder is needed, or which folders a scan would look at, with the
// button for the next step (Choose Folder or Scan).
class EmptyReviewView : public QWidget {
    Q_OBJECT
public:
    EmptyReviewView(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    QString titleText() const;
    QString messageText() const;
    QPushButton *actionButton() const { return m_action; }
    void refreshNow();

private:
    void refresh();

    AppState &m_state;
    DesktopShell &m_shell;
    DeferredRefresh *m_refresh;
    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_message;
    QPushButton *m_action;
};

}  // namespace tarnwick
