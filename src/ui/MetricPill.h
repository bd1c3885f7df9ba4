#pragma once

#include <QFrame>

class QLabel;

namespace tarnwick {

// A small rounded card with a caption above a value: "This Cleanup" over "1.2 GB".
class MetricPill : public QFrame {
    Q_OBJECT
public:
    MetricPill(const QString &title, const QString &value, QWidget *parent = nullptr);

    QString title() const;
    QString value() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
    QLabel *m_value;
};

}  // namespace tarnwick
