#include "ui/UiStyle.h"

#include "ui/AppStyle.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QAbstractButton>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace tarnwick::ui {

QFont font(TextStyle style, QFont base)
{
    const qreal size = base.pointSizeF() > 0 ? base.pointSizeF() : 10.0;
    switch (style) {
    case TextStyle::caption:
        base.setPointSizeF(std::max(7.5, size - 1.5));
        break;
    case TextStyle::subheadline:
        base.setPointSizeF(std::max(8.0, size - 0.5));
        break;
    case TextStyle::body:
        break;
    case TextStyle::headline:
        base.setWeight(QFont::DemiBold);
        break;
    case TextStyle::title3:
        base.setPointSizeF(size + 2);
        break;
    case TextStyle::title:
        base.setPointSizeF(size + 5);
        base.setWeight(QFont::DemiBold);
        break;
    case TextStyle::largeTitle:
        base.setPointSizeF(size + 10);
        base.setWeight(QFont::DemiBold);
        break;
    }
    return base;
}

void style(QLabel *label, TextStyle textStyle, bool secondary)
{
    label->setFont(font(textStyle, QApplication::font()));
    if (secondary) {
        setSecondary(label);
    }
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

void setSecondary(QWidget *widget)
{
    setTextColor(widget, secondaryTextColor(QApplication::palette()));
}

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor secondaryTextColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xa8, 0xa8, 0xad) : QColor(0x6e, 0x6e, 0x73);
}

QColor accentColor(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}

QColor blueColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0x40, 0x9c, 0xff) : QColor(0x00, 0x66, 0xd6);
}

QColor orangeColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xff, 0xa4, 0x3a) : QColor(0xc9, 0x5f, 0x00);
}

QColor redColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xff, 0x69, 0x61) : QColor(0xd7, 0x00, 0x15);
}

QColor greenColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0x30, 0xd1, 0x58) : QColor(0x24, 0x8a, 0x3d);
}

QColor controlBackgroundColor(const QPalette &palette)
{
    return isDark(palette) ? QColor(0x2c, 0x2c, 0x2e) : QColor(0xf5, 0xf5, 0xf7);
}

QPalette palette(ColorScheme scheme)
{
    QPalette p;
    const bool dark = scheme == ColorScheme::dark;
    const QColor window = dark ? QColor(0x1e, 0x1e, 0x1e) : QColor(0xfb, 0xfb, 0xfd);
    const QColor base = dark ? QColor(0x26, 0x26, 0x28) : QColor(0xff, 0xff, 0xff);
    const QColor alternate = dark ? QColor(0x2c, 0x2c, 0x2e) : QColor(0xf4, 0xf5, 0xf7);
    const QColor text = dark ? QColor(0xf2, 0xf2, 0xf7) : QColor(0x1d, 0x1d, 0x1f);
    const QColor button = dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(0xf0, 0xf0, 0xf2);
    const QColor accent = dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff);
    const QColor disabledText = dark ? QColor(0x6e, 0x6e, 0x73) : QColor(0xa1, 0xa1, 0xa6);

    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::ToolTipBase, dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(0xff, 0xff, 0xe6));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabledText);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::Light, dark ? QColor(0x4a, 0x4a, 0x4c) : Qt::white);
    p.setColor(QPalette::Midlight, dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(0xe5, 0xe5, 0xea));
    p.setColor(QPalette::Mid, dark ? QColor(0x48, 0x48, 0x4a) : QColor(0xc7, 0xc7, 0xcc));
    p.setColor(QPalette::Dark, dark ? QColor(0x12, 0x12, 0x12) : QColor(0xa0, 0xa0, 0xa5));
    p.setColor(QPalette::Shadow, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabledText);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(0xd1, 0xd1, 0xd6));
    return p;
}

void applyColorScheme(QApplication &application, ColorScheme scheme)
{
    application.setStyle(new AppStyle);
    QApplication::setPalette(palette(scheme));
}

ColorScheme systemColorScheme()
{
    const QByteArray forced = qgetenv("TARNWICK_COLOR_SCHEME");
    if (forced == "dark" || forced == "light") {
        return forced == "dark" ? ColorScheme::dark : ColorScheme::light;
    }
    // The desktop portal answers 1 for "prefer dark", 2 for "prefer light", 0 for no preference.
    QDBusMessage read =
        QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                       "org.freedesktop.portal.Settings", "Read");
    read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(read, QDBus::Block, 500);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        QVariant value = reply.arguments().first();
        while (value.canConvert<QDBusVariant>()) {
            value = value.value<QDBusVariant>().variant();
        }
        if (value.toUInt() == 1) {
            return ColorScheme::dark;
        }
        if (value.toUInt() == 2) {
            return ColorScheme::light;
        }
    }
    const QByteArray gtkTheme = qgetenv("GTK_THEME").toLower();
    return gtkTheme.contains("dark") ? ColorScheme::dark : ColorScheme::light;
}

void applySystemAppearance(QApplication &application)
{
    applyColorScheme(application, systemColorScheme());
}

}  // namespace tarnwick::ui

namespace tarnwick::ui {

void setProminent(QAbstractButton *button, const QColor &fill)
{
    QPalette palette = button->palette();
    // The style lightens a button's colour towards its top edge; starting a shade darker keeps
    // white text readable on it.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Button, fill.darker(118));
        palette.setColor(group, QPalette::ButtonText, Qt::white);
    }
    palette.setColor(QPalette::Disabled, QPalette::Button, fill.lighter(isDark(palette) ? 60 : 160));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(255, 255, 255, 170));
    button->setPalette(palette);
    QFont font = button->font();
    font.setWeight(QFont::DemiBold);
    button->setFont(font);
    button->setMinimumHeight(30);
}

void paintCard(QWidget *widget, int radius)
{
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette palette = widget->palette();
    QColor border = palette.color(QPalette::Mid);
    border.setAlpha(isDark(palette) ? 110 : 90);
    painter.setPen(QPen(border, 1));
    painter.setBrush(controlBackgroundColor(palette));
    painter.drawRoundedRect(QRectF(widget->rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

}  // namespace tarnwick::ui
