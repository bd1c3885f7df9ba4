#include "UiTestSupport.h"

#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Every symbol the windows name, the review pane's and the Super Clean window's included.
const char *const kSymbols[] = {
    "folder", "folder.badge.plus", "folder.fill.badge.checkmark", "arrow.clockwise", "xmark", "xmark.circle",
    "trash", "trash.slash", "trash.circle.fill", "sparkles", "wand.and.stars", "internaldrive", "plus",
    "plus.circle", "minus.circle", "hammer", "shippingbox", "terminal", "cube.box", "iphone", "server.rack",
    "hand.raised", "questionmark.circle", "checkmark.shield", "eye", "exclamationmark.triangle",
    "exclamationmark.triangle.fill", "checkmark.circle", "checkmark.circle.fill", "circle", "info.circle",
    "ellipsis.circle", "sidebar.right", "finder", "doc.on.doc", "magnifyingglass",
    "line.3.horizontal.decrease.circle", "slider.horizontal.3", "wrench.and.screwdriver"};

// How many pixels are drawn, and how many of those are near `color`.
std::pair<int, int> coverage(const QImage &image, const QColor &color)
{
    int drawn = 0, matching = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200) {
                ++drawn;
                matching += std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                                    std::abs(pixel.blue() - color.blue()) <
                            24;
            }
        }
    }
    return {drawn, matching};
}

TEST(SymbolIcons, EveryNamedSymbolIsDrawnInItsTint)
{
    const QColor tint(0xd7, 0x00, 0x15);
    for (const char *symbol : kSymbols) {
        SCOPED_TRACE(symbol);
        EXPECT_TRUE(ui::hasSymbol(symbol));
        const QIcon icon = ui::symbolIcon(symbol, tint);
        ASSERT_FALSE(icon.isNull());
        const auto [drawn, matching] = coverage(icon.pixmap(32, 32).toImage(), tint);
        EXPECT_GT(drawn, 20);
        EXPECT_EQ(drawn, matching);
    }
    EXPECT_FALSE(ui::hasSymbol("no.such.symbol"));
    EXPECT_FALSE(ui::symbolIcon("no.such.symbol").pixmap(16, 16).isNull());
}

// Untinted symbols take the text colour of the palette in force when they are painted, so one icon
// object stays readable across a switch to the dark palette.
TEST(SymbolIcons, FollowThePaletteTheyArePaintedIn)
{
    const QIcon icon = ui::symbolIcon("folder");
    for (auto scheme : {ui::ColorScheme::dark, ui::ColorScheme::light}) {
        ui::applyColorScheme(*qApp, scheme);
        const QColor text = QApplication::palette().color(QPalette::WindowText);
        const auto [drawn, matching] = coverage(icon.pixmap(32, 32).toImage(), text);
        EXPECT_GT(drawn, 20);
        EXPECT_EQ(drawn, matching);
    }
}

// A sheet of every symbol at two sizes in both palettes, for a person to judge.
TEST(SymbolIcons, ContactSheet)
{
    for (auto scheme : {ui::ColorScheme::dark, ui::ColorScheme::light}) {
        ui::applyColorScheme(*qApp, scheme);
        QWidget sheet;
        sheet.setAutoFillBackground(true);
        auto *grid = new QGridLayout(&sheet);
        int index = 0;
        for (const char *symbol : kSymbols) {
            auto *small = new QLabel(&sheet);
            small->setPixmap(ui::symbolIcon(symbol).pixmap(16, 16));
            auto *large = new QLabel(&sheet);
            large->setPixmap(ui::symbolIcon(symbol, ui::accentColor(sheet.palette())).pixmap(32, 32));
            auto *name = new QLabel(QString::fromLatin1(symbol), &sheet);
            grid->addWidget(small, index / 3, (index % 3) * 3);
            grid->addWidget(large, index / 3, (index % 3) * 3 + 1);
            grid->addWidget(name, index / 3, (index % 3) * 3 + 2);
            ++index;
        }
        auto *brand = new QLabel(&sheet);
        brand->setPixmap(ui::applicationIcon().pixmap(64, 64));
        grid->addWidget(brand, index / 3 + 1, 0, 1, 3);
        sheet.show();
        EXPECT_TRUE(testing::saveScreenshot(
            sheet, scheme == ui::ColorScheme::dark ? "symbols-dark" : "symbols-light"));
    }
}

}  // namespace
}  // namespace tarnwick
