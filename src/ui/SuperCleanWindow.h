#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace tarnwick {

class AppState;
class DeferredRefresh;
class DesktopShell;
class ElidedLabel;
class SuperCleanCleaningStep;
class SuperCleanCompletionStep;
class SuperCleanConfirmationSheet;
class SuperCleanCoordinator;
class SuperCleanProgressStep;
class SuperCleanResultsStep;
class SuperCleanScopeStep;

// The guided cleanup, window-modal over the main window: a header, the step of the coordinator's
// phase, and a footer with the status line and the buttons of that phase. It shows the
// coordinator's state and calls its operations; the tier being viewed is all it keeps.
//
// Every way of closing it (the header's close button, Cancel, Done, Escape, the window's own close)
// goes through the application state, which cancels whatever the coordinator is doing.
class SuperCleanWindow : public QDialog {
    Q_OBJECT
public:
    SuperCleanWindow(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    SuperCleanScopeStep *scopeStep() const { return m_scope; }
    SuperCleanProgressStep *progressStep() const { return m_progress; }
    SuperCleanResultsStep *resultsStep() const { return m_results; }
    SuperCleanCleaningStep *cleaningStep() const { return m_cleaning; }
    SuperCleanCompletionStep *completionStep() const { return m_completion; }
    // The confirmation while it is shown, else null.
    SuperCleanConfirmationSheet *confirmationSheet() const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *makeHeader();
    QWidget *makeFooter();
    void refreshPhase();
    void refreshStatus();
    void refreshMoveButton();
    void refreshPutBackButton();
    void refreshConfirmation();
    void moveSelectedToTrash();
    bool showsResults() const;

    AppState &m_state;
    DesktopShell &m_shell;
    SuperCleanCoordinator &m_coordinator;
    QStackedWidget *m_steps = nullptr;
    SuperCleanScopeStep *m_scope = nullptr;
    SuperCleanProgressStep *m_progress = nullptr;
    SuperCleanResultsStep *m_results = nullptr;
    SuperCleanCleaningStep *m_cleaning = nullptr;
    SuperCleanCompletionStep *m_completion = nullptr;
    ElidedLabel *m_status = nullptr;
    DeferredRefresh *m_statusRefresh = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_analyze = nullptr;
    QPushButton *m_cancelScan = nullptr;
    QPushButton *m_done = nullptr;
    QPushButton *m_move = nullptr;
    QPushButton *m_cancelCleaning = nullptr;
    QPushButton *m_putBack = nullptr;
    QPushButton *m_openTrash = nullptr;
    QPushButton *m_finish = nullptr;
    QPointer<SuperCleanConfirmationSheet> m_sheet;
};

}  // namespace tarnwick
