// The main window's frame: the size it opens at, what it remembers between launches, and the
// folder chooser it offers where no desktop portal runs.

#include "UiTestSupport.h"
#include "WindowFixture.h"

#include "ui/FolderChooser.h"
#include "ui/ReviewView.h"
#include "ui/WindowLayoutStore.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

TEST(MainWindow, OpensAtASizeThatSuitsTheScreen)
{
    const QSize minimum = MainWindow::minimumWindowSize;
    // A laptop screen: 80 % of it, but never below the minimum.
    EXPECT_EQ(WindowLayoutStore::defaultSize(QRect(0, 0, 1440, 870), minimum), QSize(1152, 720));
    EXPECT_EQ(WindowLayoutStore::defaultSize(QRect(0, 0, 1920, 1050), minimum), QSize(1536, 840));
    // A large one: no wall-sized window.
    EXPECT_EQ(WindowLayoutStore::defaultSize(QRect(0, 0, 3840, 2100), minimum), QSize(1600, 1000));
    // A screen smaller than the minimum: the minimum still holds.
    EXPECT_EQ(WindowLayoutStore::defaultSize(QRect(0, 0, 1024, 700), minimum), minimum);

    testing::WindowFixture f;
    EXPECT_EQ(f.window->windowTitle(), "Tarnwick");
    EXPECT_GE(f.window->width(), minimum.width());
    EXPECT_GE(f.window->height(), minimum.height());
}

TEST(MainWindow, RemembersItsPlaceAndSplitsBetweenLaunches)
{
    testing::ScopedHome home;
    testing::FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    store.set("hasSeenOnboarding", true);
    const std::string project = home.home() + "/Code/app/node_modules/left-pad";
    std::filesystem::create_directories(project);
    std::ofstream(project + "/index.js") << "x";
    store.set("roots", std::vector<std::string>{home.home() + "/Code"});
    AppState state(store, testing::isolatedEnvironment(home.home(), &shell));
    state.scan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 20000));
    const QString file = QString::fromStdString(home.home()) + "/.config/Tarnwick/window.ini";
    EXPECT_EQ(WindowLayoutStore::defaultFilePath(), file) << "kept beside the preferences, not in them";
    QList<int> sidebarSplit;
    QList<int> inspectorSplit;
    {
        MainWindow window(state, shell);
        window.show();
        window.resize(1400, 860);
        window.sidebarSplitter()->setSizes({360, 1039});
        QSplitter &results = *window.review()->resultsSplitter();
        const int total = results.sizes()[0] + results.sizes()[1];
        results.setSizes({total - 400, 400});
        QCoreApplication::processEvents();
        sidebarSplit = window.sidebarSplitter()->sizes();
        inspectorSplit = results.sizes();
        EXPECT_EQ(inspectorSplit[1], 400);
    }
    ASSERT_TRUE(QFileInfo::exists(file));
    MainWindow again(state, shell);
    again.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(again.size(), QSize(1400, 860));
    EXPECT_EQ(again.sidebarSplitter()->sizes(), sidebarSplit);
    EXPECT_EQ(again.review()->resultsSplitter()->sizes(), inspectorSplit);
}

// Without a portal the chooser is Qt's own, set up for choosing scan folders: folders only,
// several at once, none made from inside it, "Add Folder", starting at home.
TEST(FolderChooser, WithoutAPortalQtsDialogChoosesSeveralExistingFolders)
{
    testing::ScopedHome home;
    for (const char *name : {"alpha", "beta", "gamma"}) {
        std::filesystem::create_directories(home.home() + "/" + name);
    }
    std::ofstream(home.home() + "/notes.txt") << "x";
    std::unique_ptr<QFileDialog> dialog(FolderChooser::makeDialog(nullptr, QDir::homePath()));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Add Folder");
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(home.home()));

    dialog->show();
    auto *newFolder = dialog->findChild<QToolButton *>(QStringLiteral("newFolderButton"));
    ASSERT_NE(newFolder, nullptr);
    EXPECT_FALSE(newFolder->isVisible());
    auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    auto *files = qobject_cast<QFileSystemModel *>(list->model());
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files->rowCount(list->rootIndex()) == 3; }, 10000))
        << "the home folder lists its three folders and not the file";
    for (const char *name : {"alpha", "gamma"}) {
        list->selectionModel()->select(files->index(QString::fromStdString(home.home()) + "/" + name),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QPushButton *add = nullptr;
    for (auto *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == "Add Folder") {
            add = button;
        }
    }
    ASSERT_NE(add, nullptr);

    ASSERT_TRUE(add->isEnabled());
    add->click();
    QStringList chosen = dialog->selectedFiles();
    chosen.sort();
    EXPECT_EQ(chosen, QStringList({QString::fromStdString(home.home()) + "/alpha",
                                   QString::fromStdString(home.home()) + "/gamma"}));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarnwick
