#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QMainWindow;
class QSplitter;

namespace tarnwick {

// Where the main window was and how its columns were split, kept between launches in its own small
// file in the configuration folder ($XDG_CONFIG_HOME/Tarnwick/window.ini). Window placement is a
// property of this desktop, not a preference of the user's cleanup: it stays out of the
// preferences file and out of the application state.
class WindowLayoutStore {
public:
    explicit WindowLayoutStore(QString filePath = defaultFilePath());

    static QString defaultFilePath();
    // The size a window opens at without a remembered one: 80 % of the screen's available area,
    // never below the window's minimum and never above 1600 by 1000 (a huge screen does not need a
    // huge window), and never beyond the screen unless the minimum itself is.
    static QSize defaultSize(const QRect &available, const QSize &minimum);

    // Restores what was saved; false when nothing was (the first launch), which leaves all as is.
    bool restore(QMainWindow &window, QSplitter &sidebarSplit, QSplitter &inspectorSplit) const;
    void save(const QMainWindow &window, const QSplitter &sidebarSplit, const QSplitter &inspectorSplit) const;

private:
    QString m_filePath;
};

}  // namespace tarnwick
