// Paths cut to a width keep the folder and its parent whole and lose components from the middle.

#include "ui/PathElision.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(PathElision, KeepsTheProjectAndTheFolderWhole)
{
    const QFontMetrics metrics(QApplication::font());
    const QString path = QStringLiteral("/home/ada/Projects/clients/web-shop/node_modules");
    const auto width = [&](const QString &text) { return metrics.horizontalAdvance(text); };

    EXPECT_EQ(ui::elidePath(path, metrics, width(path)), path) << "a path that fits stays as it is";
    const QString shorter = QStringLiteral("/home/ada/…/web-shop/node_modules");
    EXPECT_EQ(ui::elidePath(path, metrics, width(shorter)), shorter) << "as much of the start as fits";
    const QString shortest = QStringLiteral("…/web-shop/node_modules");
    EXPECT_EQ(ui::elidePath(path, metrics, width(shortest)), shortest);
    // Narrower still, the text is cut inside the names but still ends in the folder's own name.
    const QString squeezed = ui::elidePath(path, metrics, width(shortest) / 2);
    EXPECT_LE(width(squeezed), width(shortest) / 2);
    EXPECT_TRUE(squeezed.contains(QStringLiteral("…")));
    // A name without separators is cut in the middle as usual.
    const QString name = QStringLiteral("a-rather-long-folder-name");
    EXPECT_EQ(ui::elidePath(name, metrics, width(name) / 2),
              metrics.elidedText(name, Qt::ElideMiddle, width(name) / 2));
}

}  // namespace
}  // namespace tarnwick
