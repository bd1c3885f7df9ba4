#include "app/AppState.h"
#include "app/JsonFilePreferencesStore.h"
#include "app/LogOutput.h"
#include "ui/MainWindow.h"
#include "ui/SymbolIcons.h"
#include "ui/SystemDesktopShell.h"
#include "ui/UiStyle.h"

#include <QApplication>

int main(int argc, char **argv)
{
    tarnwick::LogOutput::install();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarnwick");
    // The desktop entry's id, which is also the software centres' id; Wayland matches the window
    // to its entry by it.
    QApplication::setDesktopFileName("app.tarnwick.Tarnwick");
    QApplication::setWindowIcon(tarnwick::ui::applicationIcon());
    tarnwick::ui::installIconThemeFallback();
    tarnwick::ui::applySystemAppearance(application);

    tarnwick::SystemDesktopShell shell;
    auto environment = tarnwick::AppEnvironment::standard();
    environment.desktopShell = &shell;
    tarnwick::JsonFilePreferencesStore store(tarnwick::JsonFilePreferencesStore::defaultFilePath());
    tarnwick::AppState state(store, environment);

    tarnwick::MainWindow window(state, shell);
    shell.setDialogParent(&window);
    window.show();
    return QApplication::exec();
}
