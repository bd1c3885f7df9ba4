#pragma once

#include <QTimer>
#include <QWidget>

namespace tarnwick {

// A small indeterminate spinner: twelve spokes, one of them bright, turning while it is shown.
class ActivitySpinner : public QWidget {
    Q_OBJECT
public:
    explicit ActivitySpinner(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};

}  // namespace tarnwick
