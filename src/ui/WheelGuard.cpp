#include "ui/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QWheelEvent>

namespace tarnwick::ui {

namespace {

// The control a wheel event over `widget` would change: the picker, spin box or slider itself, or
// the one it is part of (a spin box's text field, an editable picker's line).
QWidget *guardedControl(QWidget *widget)
{
    for (QWidget *w = widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)) {
            return w;
        }
        // A scroll bar is a slider too, but the wheel is what it is for.
        if (auto *slider = qobject_cast<QAbstractSlider *>(w);
            slider != nullptr && qobject_cast<QAbstractScrollArea *>(slider->parentWidget()) == nullptr &&
            !slider->inherits("QScrollBar")) {
            return w;
        }
    }
    return nullptr;
}

QAbstractScrollArea *enclosingScrollArea(QWidget *widget)
{
    for (QWidget *w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QAbstractScrollArea *>(w)) {
            return area;
        }
    }
    return nullptr;
}

}  // namespace

void WheelGuard::takeNoWheelFocus(QWidget *widget)
{
    if (guardedControl(widget) == widget && widget->focusPolicy() == Qt::WheelFocus) {
        widget->setFocusPolicy(Qt::StrongFocus);
    }
}

WheelGuard::WheelGuard(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    // Widgets made before the guard are not polished again.
    for (QWidget *widget : QApplication::allWidgets()) {
        takeNoWheelFocus(widget);
    }
}

WheelGuard::~WheelGuard()
{
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void WheelGuard::install()
{
    static QPointer<WheelGuard> installed;
    if (!installed) {
        installed = new WheelGuard(qApp);
    }
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType()) {
        return false;
    }
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::Polish) {
        takeNoWheelFocus(widget);
        return false;
    }
    if (event->type() != QEvent::Wheel) {
        return false;
    }
    QWidget *control = guardedControl(widget);
    if (control == nullptr || control->hasFocus() || control->isAncestorOf(QApplication::focusWidget())) {
        return false;
    }
    // Handed to the scroll area around the control, which scrolls as if the pointer were over
    // its empty background; with none, the notch is simply dropped.
    if (QAbstractScrollArea *area = enclosingScrollArea(control)) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        QWidget *viewport = area->viewport();
        const QPointF position = viewport->mapFromGlobal(wheel->globalPosition());
        QWheelEvent forwarded(position, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                              wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(viewport, &forwarded);
    }
    return true;
}

}  // namespace tarnwick::ui
