#pragma once

#include <QWidget>

class QPushButton;

namespace tarnwick {

class AppState;

// Shown when there are results but the filter and the search hide all of them, with the way back.
class EmptyFilteredView : public QWidget {
    Q_OBJECT
public:
    explicit EmptyFilteredView(AppState &state, QWidget *parent = nullptr);

    QPushButton *showAllButton() const { return m_showAll; }

private:
    AppState &m_state;
    QPushButton *m_showAll;
};

}  // namespace tarnwick
