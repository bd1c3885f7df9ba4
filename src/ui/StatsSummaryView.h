#pragma once

#include <QWidget>

class QLabel;

namespace tarnwick {

class AppState;

// What Tarnwick has cleaned since it was installed: the total, the folder count and where the bytes
// went.
class StatsSummaryView : public QWidget {
    Q_OBJECT
public:
    explicit StatsSummaryView(AppState &state, QWidget *parent = nullptr);

    QString totalText() const;
    QString historyText() const;
    // Empty while hidden.
    QString breakdownText() const;

private:
    void refresh();

    AppState &m_state;
    QLabel *m_total;
    QLabel *m_history;
    QLabel *m_breakdown;
};

}  // namespace tarnwick
