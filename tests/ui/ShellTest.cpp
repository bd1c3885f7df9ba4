// The toolbar, the Actions menu and the settings window, driven as a user would.

#include "WindowFixture.h"

#include "LocalHttpServer.h"
#include "ui/ActionsMenu.h"
#include "ui/CleanupSettingsSection.h"
#include "ui/ElidedLabel.h"
#include "ui/MainToolbar.h"
#include "ui/SettingsWindow.h"
#include "ui/SidebarRows.h"
#include "ui/SidebarView.h"
#include "ui/SuperCleanSidebarCard.h"
#include "ui/TargetToggleRow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::WindowFixture;

// Everything in the sidebar that changes state while a scan may run.
std::vector<QWidget *> sidebarControls(SidebarView &sidebar)
{
    CleanupSettingsSection &cleanup = *sidebar.cleanupSettings();
    std::vector<QWidget *> controls{cleanup.presetPicker(),         cleanup.minimumSizePicker(),
                                    cleanup.aggressiveSwitch(),     cleanup.cleanupMethodPicker(),
                                    sidebar.chooseFolderButton(),   sidebar.standardFolderButton(),
                                    sidebar.gettingStartedButton(), sidebar.superCleanCard()->analyzeButton()};
    controls.push_back(cleanup.targetRows().front());
    controls.insert(controls.end(), sidebar.maintenanceButtons().begin(), sidebar.maintenanceButtons().end());
    for (RootRow *row : sidebar.rootRows()) {
        controls.push_back(row->button());
    }
    return controls;
}

TEST(Shell, ChosenFolderScansWithCtrlRWhileEveryControlWaits)
{
    WindowFixture f;
    MainToolbar &toolbar = *f.window->toolbar();
    ActionsMenu &menu = *f.window->actionsMenu();
    SidebarView &sidebar = *f.window->sidebar();
    EXPECT_FALSE(toolbar.scanAction()->isEnabled()) << "no folder to scan yet";
    EXPECT_TRUE(menu.scanAction()->isEnabled());

    const std::string project = f.project();
    f.shell.nextChosenFolders = {project};
    toolbar.chooseFolderAction()->trigger();
    ASSERT_EQ(sidebar.rootRows().size(), 1u);
    // The home folder reads ~ as in the empty state; the hover help keeps the whole path.
    EXPECT_EQ(sidebar.rootRows()[0]->shownText().toStdString(), "~/Code/app");
    EXPECT_EQ(sidebar.rootRows()[0]->findChild<ElidedLabel *>()->toolTip().toStdString(), project);
    EXPECT_TRUE(toolbar.scanAction()->isEnabled());

    // Nothing from the scan reaches the main thread until the event loop runs, so the controls
    // can be read mid-scan without racing it.
    QTest::keyClick(f.window.get(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(f.state->isScanning());
    EXPECT_FALSE(toolbar.scanAction()->isVisible());
    EXPECT_TRUE(toolbar.cancelScanAction()->isVisible());
    EXPECT_FALSE(toolbar.chooseFolderAction()->isEnabled());
    EXPECT_FALSE(menu.scanAction()->isEnabled());
    EXPECT_TRUE(menu.cancelScanAction()->isEnabled());
    EXPECT_FALSE(menu.cancelCleanupAction()->isEnabled());
    for (QWidget *control : sidebarControls(sidebar)) {
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className() << " "
                                           << control->accessibleName().toStdString();
    }

    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.state->isScanning(); }, 20000));
    ASSERT_EQ(f.state->candidates().size(), 1u);
    EXPECT_TRUE(toolbar.scanAction()->isVisible());
    EXPECT_FALSE(toolbar.cancelScanAction()->isVisible());
    for (QWidget *control : sidebarControls(sidebar)) {
        EXPECT_TRUE(control->isEnabled()) << control->metaObject()->className();
    }
    EXPECT_TRUE(menu.selectAllAction()->isEnabled());
    EXPECT_TRUE(menu.cleanAction()->isEnabled());
    menu.clearSelectionAction()->trigger();
    EXPECT_FALSE(menu.cleanAction()->isEnabled());
    EXPECT_FALSE(menu.clearSelectionAction()->isEnabled());
}

TEST(Shell, SearchFieldAndCleanCommandFollowTheState)
{
    WindowFixture f;
    QLineEdit &search = *f.window->toolbar()->searchField();
    EXPECT_EQ(search.placeholderText(), "Filter results");
    QTest::keyClicks(&search, "node");
    EXPECT_EQ(f.state->searchText(), "node");
    f.state->setSearchText("");
    EXPECT_TRUE(search.text().isEmpty());
    // The field's clear icon fades out with the text it clears, also when the state emptied it.
    auto *clear = search.findChild<QToolButton *>();
    ASSERT_NE(clear, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clear->property("opacity").toReal() == 0.0; }, 5000));

    QAction &clean = *f.window->actionsMenu()->cleanAction();
    QComboBox &method = *f.window->sidebar()->cleanupSettings()->cleanupMethodPicker();
    EXPECT_EQ(clean.text(), "Move Selected to Trash...");
    emit method.activated(1);
    EXPECT_EQ(f.state->cleanupAction(), CleanupAction::deletePermanently);
    EXPECT_EQ(clean.text(), "Delete Selected Permanently...");
    EXPECT_TRUE(clean.shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Backspace)));
    emit method.activated(0);
    EXPECT_EQ(clean.text(), "Move Selected to Trash...");
}

// A real feed on 127.0.0.1 announces a newer version, then an older one.
TEST(Shell, DownloadLatestVersionShowsOnlyWhileAnUpdateIsAvailable)
{
    testing::LocalHttpServer feed;
    ASSERT_TRUE(feed.isListening());
    const auto announce = [&](const char *version) {
        feed.respondWith({200, "OK", {{"Content-Type", "application/json"}},
                          QByteArray(R"({"version": ")") + version +
                              R"(", "download_url": "https://downloads.tarnwick.test/latest"})"});
    };
    WindowFixture f(feed.url("/releases/latest.json"));
    ActionsMenu &menu = *f.window->actionsMenu();
    f.window->showSettings();
    SettingsWindow &settings = *f.window->settingsWindow();
    EXPECT_EQ(settings.width(), 460);
    EXPECT_FALSE(menu.downloadLatestAction()->isVisible());
    EXPECT_TRUE(settings.downloadButton()->isHidden());

    announce("9.0");
    QTest::mouseClick(settings.checkNowButton(), Qt::LeftButton);
    EXPECT_FALSE(settings.checkNowButton()->isEnabled());
    EXPECT_FALSE(menu.checkForUpdatesAction()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return settings.checkNowButton()->isEnabled(); }, 15000));
    EXPECT_EQ(settings.updateMessage()->text(), "Tarnwick 9.0 is available");
    EXPECT_TRUE(menu.downloadLatestAction()->isVisible());
    EXPECT_FALSE(settings.downloadButton()->isHidden());
    QTest::mouseClick(settings.downloadButton(), Qt::LeftButton);
    ASSERT_EQ(f.shell.openedURLs.size(), 1u);
    EXPECT_EQ(f.shell.openedURLs[0], QUrl("https://downloads.tarnwick.test/latest"));
    EXPECT_TRUE(testing::saveScreenshot(settings, "settings-update-available"));

    announce("1.0");
    menu.checkForUpdatesAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.checkForUpdatesAction()->isEnabled(); }, 15000));
    EXPECT_EQ(settings.updateMessage()->text(), "Tarnwick is up to date");
    EXPECT_FALSE(menu.downloadLatestAction()->isVisible());
    EXPECT_TRUE(settings.downloadButton()->isHidden());

    QTest::mouseClick(settings.analyticsSwitch(), Qt::LeftButton);
    EXPECT_TRUE(f.state->analyticsOptIn());
    EXPECT_TRUE(testing::saveScreenshot(settings, "settings"));
}

}  // namespace
}  // namespace tarnwick
