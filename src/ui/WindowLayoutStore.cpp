#include "ui/WindowLayoutStore.h"

#include <QDir>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <algorithm>

namespace tarnwick {

namespace {

const QSize kLargestDefault(1600, 1000);

}  // namespace

WindowLayoutStore::WindowLayoutStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString WindowLayoutStore::defaultFilePath()
{
    // Honours $XDG_CONFIG_HOME like the preferences file beside it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarnwick/window.ini");
}

QSize WindowLayoutStore::defaultSize(const QRect &available, const QSize &minimum)
{
    const auto side = [](int screen, int least, int most) { return std::max(least, std::min(screen * 4 / 5, most)); };
    return {side(available.width(), minimum.width(), kLargestDefault.width()),
            side(available.height(), minimum.height(), kLargestDefault.height())};
}

bool WindowLayoutStore::restore(QMainWindow &window, QSplitter &sidebarSplit, QSplitter &inspectorSplit) const
{
    QSettings settings(m_filePath, QSettings::IniFormat);
    const QByteArray geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
    if (geometry.isEmpty() || !window.restoreGeometry(geometry)) {
        return false;
    }
    // A split saved by an older layout (other columns) is refused by the splitter and the default
    // split stays.
    sidebarSplit.restoreState(settings.value(QStringLiteral("window/sidebarSplit")).toByteArray());
    inspectorSplit.restoreState(settings.value(QStringLiteral("window/inspectorSplit")).toByteArray());
    return true;
}

void WindowLayoutStore::save(const QMainWindow &window, const QSplitter &sidebarSplit,
                             const QSplitter &inspectorSplit) const
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSettings settings(m_filePath, QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/geometry"), window.saveGeometry());
    settings.setValue(QStringLiteral("window/sidebarSplit"), sidebarSplit.saveState());
    // The list and its inspector are laid out only while there are results to show; until then
    // their split says nothing about what the user chose and the last one stays.
    if (inspectorSplit.isVisible()) {
        settings.setValue(QStringLiteral("window/inspectorSplit"), inspectorSplit.saveState());
    }
    settings.sync();
}

}  // namespace tarnwick
