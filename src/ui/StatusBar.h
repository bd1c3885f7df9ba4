#pragma once

#include <QWidget>

class QLabel;

namespace tarnwick {

class AppState;
class DeferredRefresh;
class ElidedLabel;

// The bottom line of the review pane: the status message, the first failure of the last run in
// red, and how much is selected.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    explicit StatusBar(AppState &state, QWidget *parent = nullptr);

    QString messageText() const;
    QString failureText() const;
    QString selectionText() const;
    void refreshNow();

private:
    void refresh();

    AppState &m_state;
    DeferredRefresh *m_refresh;
    ElidedLabel *m_message;
    ElidedLabel *m_failure;
    QLabel *m_selection;
};

}  // namespace tarnwick
