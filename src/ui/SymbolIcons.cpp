#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QStyle>

#include <map>
#include <string>

namespace tarnwick::ui {

namespace {

const std::map<std::string, QString, std::less<>> &themeNames()
{
    static const std::map<std::string, QString, std::less<>> names{
        {"folder", "folder"},
        {"folder.badge.plus", "folder-new"},
        {"arrow.clockwise", "view-refresh"},
        {"xmark.circle", "process-stop"},
        {"trash", "user-trash"},
        {"info.circle", "dialog-information"},
    };
    return names;
}

}  // namespace

QIcon symbolIcon(std::string_view symbol)
{
    if (auto found = themeNames().find(symbol); found != themeNames().end()) {
        QIcon icon = QIcon::fromTheme(found->second);
        if (!icon.isNull()) {
            return icon;
        }
    }
    return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

QIcon symbolIcon(std::string_view symbol, const QColor &)
{
    return symbolIcon(symbol);
}

}  // namespace tarnwick::ui
