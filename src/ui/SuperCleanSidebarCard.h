#pragma once

#include <QWidget>

class QPushButton;

namespace tarnwick {

class AppState;

// The sidebar's invitation to the guided flow. Pressing its button asks for Super Clean; the window
// decides what opens.
class SuperCleanSidebarCard : public QWidget {
    Q_OBJECT
public:
    explicit SuperCleanSidebarCard(AppState &state, QWidget *parent = nullptr);

    QPushButton *analyzeButton() const { return m_analyze; }

signals:
    void analyzeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyColors();

    AppState &m_state;
    QWidget *m_badge;
    QPushButton *m_analyze;
};

}  // namespace tarnwick
