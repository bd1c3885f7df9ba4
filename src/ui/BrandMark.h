#pragma once

#include <QWidget>

namespace tarnwick {

// The application's icon at a fixed size; when it cannot be loaded, a blue rounded square with a
// white folder and check mark in its place.
class BrandMark : public QWidget {
    Q_OBJECT
public:
    explicit BrandMark(int side = 34, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {m_side, m_side}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_side;
};

}  // namespace tarnwick
