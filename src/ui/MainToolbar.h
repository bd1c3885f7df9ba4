#pragma once

#include <QToolBar>

class QAction;
class QLineEdit;

namespace tarnwick {

class AppState;
class DesktopShell;

// The window's toolbar: "Choose Folder", "Scan" or "Cancel Scan" while a scan runs, and the search
// field that filters the review list.
class MainToolbar : public QToolBar {
    Q_OBJECT
public:
    MainToolbar(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    QAction *chooseFolderAction() const { return m_chooseFolder; }
    QAction *scanAction() const { return m_scan; }
    QAction *cancelScanAction() const { return m_cancelScan; }
    QLineEdit *searchField() const { return m_search; }

private:
    void refresh();
    void showSearchText();

    AppState &m_state;
    QAction *m_chooseFolder;
    QAction *m_scan;
    QAction *m_cancelScan;
    QLineEdit *m_search;
    bool m_showingState = false;
};

}  // namespace tarnwick
