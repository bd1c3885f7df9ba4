#include "app/AppState.h"
#include "app/JsonFilePreferencesStore.h"
#include "app/LogCategories.h"
#include "app/LogOutput.h"
#include "app/QuitOnSignal.h"
#include "app/SingleInstance.h"
#include "core/PathRules.h"
#include "ui/MainWindow.h"
#include "ui/SymbolIcons.h"
#include "ui/SystemDesktopShell.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The folders named on the command line (what is left once Qt has taken its own options), as the
// system's bytes and absolute: the running copy they may be handed to has a working folder of
// its own.
std::vector<std::string> folderArguments(int argc, char **argv)
{
    std::string workingFolder;
    if (char *current = ::getcwd(nullptr, 0)) {
        workingFolder = current;
        ::free(current);
    }
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.empty()) {
            continue;
        }
        folders.push_back(argument.starts_with('/') ? argument : tarnwick::joinPath(workingFolder, argument));
    }
    return folders;
}

}  // namespace

int main(int argc, char **argv)
{
    tarnwick::LogOutput::install();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarnwick");
    // The desktop entry's id, which is also the software centres' id; Wayland matches the window
    // to its entry by it.
    QApplication::setDesktopFileName("app.tarnwick.Tarnwick");

    const std::vector<std::string> folders = folderArguments(argc, argv);
    const std::string preferences = tarnwick::JsonFilePreferencesStore::defaultFilePath();
    tarnwick::SingleInstance instance(tarnwick::SingleInstance::standardRuntimeFolder(), preferences);
    if (!instance.claim()) {
        std::string error;
        if (instance.handOver(folders, error)) {
            return 0;
        }
        qCCritical(tarnwick::lcInstance).noquote() << QString::fromStdString(error);
        return 1;
    }
    tarnwick::QuitOnSignal quitOnSignal;

    QApplication::setWindowIcon(tarnwick::ui::applicationIcon());
    tarnwick::ui::installIconThemeFallback();
    tarnwick::ui::applySystemAppearance(application);

    tarnwick::SystemDesktopShell shell;
    auto environment = tarnwick::AppEnvironment::standard();
    environment.desktopShell = &shell;
    tarnwick::JsonFilePreferencesStore store(preferences);
    tarnwick::AppState state(store, environment);
    if (!folders.empty()) {
        state.addRoots(folders);
    }

    tarnwick::MainWindow window(state, shell);
    shell.setDialogParent(&window);
    QObject::connect(&instance, &tarnwick::SingleInstance::launched, &window, &tarnwick::MainWindow::takeLaunch);
    window.show();
    // Leaving the loop destroys the window, then the state, which stops its work (a cleanup after
    // the folder in progress, recorded), then the store, which flushes.
    return QApplication::exec();
}
