#pragma once

#include "../app/AppTestSupport.h"

#include "ui/UiStyle.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tarnwick::testing {

// "-2x" when the tests run at a scale factor of 2 (QT_SCALE_FACTOR), so both sets of pictures stay.
inline QString screenshotSuffix()
{
    const char *scale = std::getenv("QT_SCALE_FACTOR");
    return scale != nullptr && std::string(scale) != "1" ? QStringLiteral("-%1x").arg(scale) : QString();
}

// Saves what the widget shows under build/screenshots/NAME.png, for a person to look at.
inline bool saveScreenshot(QWidget &widget, const std::string &name)
{
    QDir().mkpath(TARNWICK_SCREENSHOT_DIR);
    return widget.grab().save(QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1%2.png")
                                  .arg(QString::fromStdString(name), screenshotSuffix()));
}

// The labels and buttons under `root` that do not show their whole text: a one-line label
// narrower than its text, a wrapped one shorter than its lines, a button narrower than its title,
// or any of them sticking out of the widget that holds it (a scrolling list may hold more than
// it shows, but never wider). Labels that elide on purpose need only fit where they are.
inline std::vector<std::string> cutTexts(QWidget &root)
{
    std::vector<std::string> cut;
    const auto outside = [&](QWidget *widget) {
        for (QWidget *w = widget; w != &root && w->parentWidget() != nullptr; w = w->parentWidget()) {
            QWidget *holder = w->parentWidget();
            const QRect inHolder = w->geometry();
            const bool scrolls = qobject_cast<QAbstractScrollArea *>(holder->parentWidget()) != nullptr;
            if (inHolder.left() < 0 || inHolder.right() > holder->width() ||
                (!scrolls && (inHolder.top() < 0 || inHolder.bottom() > holder->height()))) {
                return true;
            }
        }
        return false;
    };
    for (QLabel *label : root.findChildren<QLabel *>()) {
        if (!label->isVisibleTo(&root) || label->text().isEmpty() || label->width() <= 0) {
            continue;
        }
        QString text = label->text();
        if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(text)) {
            QTextDocument document;
            document.setHtml(text);
            text = document.toPlainText();
        }
        const QRect box = label->contentsRect();
        bool whole = true;
        if (label->inherits("tarnwick::ElidedLabel")) {
            whole = true;
        } else if (label->wordWrap()) {
            whole = label->heightForWidth(label->width()) <= label->height() + 1;
        } else {
            whole = label->fontMetrics().horizontalAdvance(text) <= box.width() + 1;
        }
        if (!whole || outside(label)) {
            cut.push_back(text.toStdString());
        }
    }
    for (QAbstractButton *button : root.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&root) || button->text().isEmpty()) {
            continue;
        }
        if (button->sizeHint().width() > button->width() + 1 || outside(button)) {
            cut.push_back(button->text().toStdString());
        }
    }
    return cut;
}

// "light" or "dark": names parameterised cases and suffixes screenshots.
inline std::string paletteName(ui::ColorScheme scheme)
{
    return scheme == ui::ColorScheme::dark ? "dark" : "light";
}

inline std::string paletteTestName(const ::testing::TestParamInfo<ui::ColorScheme> &info)
{
    return paletteName(info.param);
}

}  // namespace tarnwick::testing
