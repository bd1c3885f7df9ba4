#pragma once

#include "ui/SuperCleanCard.h"

namespace tarnwick {

// A figure tile: a caption title above a value that shrinks until it fits the tile's width.
class SuperCleanMetric : public SuperCleanCard {
    Q_OBJECT
public:
    explicit SuperCleanMetric(const QString &title, QWidget *parent = nullptr);

    void setValue(const QString &value);
    const QString &title() const { return m_title; }
    const QString &value() const { return m_value; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont valueFont(int width) const;

    QString m_title;
    QString m_value;
};

}  // namespace tarnwick
