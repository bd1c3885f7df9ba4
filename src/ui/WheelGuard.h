#pragma once

#include <QObject>

class QWidget;

namespace tarnwick::ui {

// Keeps the mouse wheel from changing settings while it scrolls past them: a picker, spin box or
// slider takes the wheel only once the user has given it focus (a click or Tab). Otherwise the
// wheel goes on to scroll whatever holds the control, as if the control were not there. It also
// stops such controls from taking focus by the wheel alone. Installed once on the application, it
// covers every window, the ones opened later included.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    explicit WheelGuard(QObject *parent = nullptr);
    ~WheelGuard() override;

    // The guard on the running application, made on first use and kept with it.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Wheel focus would let the first notch over a picker give it focus and the second change it.
    static void takeNoWheelFocus(QWidget *widget);
};

}  // namespace tarnwick::ui
