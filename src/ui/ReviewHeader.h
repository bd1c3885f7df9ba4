#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace tarnwick {

class AppState;
class DeferredRefresh;

// The top of the review pane: the title, a one-line summary of the results and the selection, the
// clean button, the Show and Sort pickers, the count and size of the rows shown, and Select All /
// Clear Selection.
class ReviewHeader : public QWidget {
    Q_OBJECT
public:
    explicit ReviewHeader(AppState &state, QWidget *parent = nullptr);

    QString summaryText() const;
    QString shownText() const;
    QPushButton *cleanButton() const { return m_clean; }
    QComboBox *showPicker() const { return m_show; }
    QComboBox *sortPicker() const { return m_sort; }
    QPushButton *selectAllButton() const { return m_selectAll; }
    QPushButton *clearSelectionButton() const { return m_clearSelection; }
    void refreshNow();

    // The summary line for the state as it is.
    static QString summary(const AppState &state);

private:
    void refresh();

    AppState &m_state;
    DeferredRefresh *m_refresh;
    QLabel *m_summary;
    QPushButton *m_clean;
    QComboBox *m_show;
    QComboBox *m_sort;
    QLabel *m_shown;
    QPushButton *m_selectAll;
    QPushButton *m_clearSelection;
};

}  // namespace tarnwick
