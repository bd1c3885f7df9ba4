#pragma once

#include <QFrame>

namespace tarnwick {

// A rounded panel on the control background colour: the cards, tiles, notes and inspector of the
// guided cleanup. The colour is read when painting, so the panel follows a change of palette.
class SuperCleanCard : public QFrame {
    Q_OBJECT
public:
    explicit SuperCleanCard(QWidget *parent = nullptr, int radius = 10);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_radius;
};

}  // namespace tarnwick
