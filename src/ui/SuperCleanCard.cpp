#include "ui/SuperCleanCard.h"

#include "ui/UiStyle.h"


namespace tarnwick {

SuperCleanCard::SuperCleanCard(QWidget *parent, int radius) : QFrame(parent), m_radius(radius)
{
}

void SuperCleanCard::paintEvent(QPaintEvent *)
{
    ui::paintCard(this, m_radius);
}

}  // namespace tarnwick
