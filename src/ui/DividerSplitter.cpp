#include "ui/DividerSplitter.h"

#include <QPainter>
#include <QSplitterHandle>

namespace tarnwick {

namespace {

class DividerHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), palette().color(QPalette::Mid));
    }
};

}  // namespace

DividerSplitter::DividerSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    setHandleWidth(1);
    setChildrenCollapsible(false);
}

QSplitterHandle *DividerSplitter::createHandle()
{
    return new DividerHandle(orientation(), this);
}

}  // namespace tarnwick
