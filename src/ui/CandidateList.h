#pragma once

#include <QTableView>

class QMenu;

namespace tarnwick {

class AppState;
class CandidateTableModel;
class DesktopShell;

// The found folders as a table with the columns Clean, Size, Type, Modified, Path and an actions
// menu. A click anywhere on a row (but its menu) focuses that candidate and, unless a run is busy,
// selects or unselects it; the arrow keys move the focus and the space bar toggles. Clicking the
// Size, Type, Modified or Path title sorts by it; Size toggles between largest and smallest first.
class CandidateList : public QTableView {
    Q_OBJECT
public:
    CandidateList(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    CandidateTableModel *candidateModel() const { return m_model; }
    // The actions of one row, as both its ellipsis menu and its context menu show them.
    QMenu *rowMenu(int row, QWidget *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool busy() const;
    void activateRow(int row);
    void moveFocus(int row);
    int focusedRow() const;
    void showActionsMenu(int row);
    void sortByColumn(int column);
    void refreshHeader();
    void applyHeaderStyle();

    AppState &m_state;
    DesktopShell &m_shell;
    CandidateTableModel *m_model;
};

}  // namespace tarnwick
