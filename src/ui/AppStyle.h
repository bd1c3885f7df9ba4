#pragma once

#include <QProxyStyle>

namespace tarnwick::ui {

// Fusion with the few corrections the application's palettes need. Fusion draws a menu's separator
// a shade darker than the window colour, which vanishes on a dark menu; here it is drawn in the
// palette's divider colour, as the windows draw theirs.
class AppStyle : public QProxyStyle {
    Q_OBJECT
public:
    AppStyle();

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

}  // namespace tarnwick::ui
