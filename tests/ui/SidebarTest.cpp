// The sidebar over a real application state: sections that come and go, enablement, hover help and
// screenshots in both palettes.

#include "WindowFixture.h"

#include "engine/CleanupRules.h"
#include "ui/CleanupSettingsSection.h"
#include "ui/ElidedLabel.h"
#include "ui/SidebarRows.h"
#include "ui/SidebarView.h"
#include "ui/StatsSummaryView.h"
#include "ui/TargetToggleRow.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::WindowFixture;

CleanupHistoryEntry run(const std::string &summary, int64_t folders, std::chrono::hours age)
{
    CleanupHistoryEntry entry;
    entry.id = "ID-" + summary;
    entry.date = std::chrono::system_clock::now() - age;
    entry.actionRawValue = "moveToTrash";
    entry.folderCount = folders;
    entry.bytes = 2'500'000;
    entry.folderSummary = summary;
    return entry;
}

TEST(Sidebar, AlwaysKeepAndRecentShowOnlyWhatThereIs)
{
    WindowFixture f;
    SidebarView &sidebar = *f.window->sidebar();
    EXPECT_TRUE(sidebar.alwaysKeepSection()->isHidden());
    EXPECT_TRUE(sidebar.recentSection()->isHidden());

    f.state->setExcludedPaths({f.home.home() + "/Code/keep", f.home.home() + "/Code/also"});
    ASSERT_EQ(sidebar.exclusionRows().size(), 2u);
    EXPECT_FALSE(sidebar.alwaysKeepSection()->isHidden());
    sidebar.exclusionRows()[0]->button()->click();
    EXPECT_EQ(f.state->excludedPaths().size(), 1u);
    EXPECT_EQ(sidebar.exclusionRows().size(), 1u);

    auto cancelled = run("", 2, 30h);
    cancelled.failureCount = 1;
    cancelled.cancelled = true;
    cancelled.actionRawValue = "deletePermanently";
    f.state->setCleanupHistory({cancelled, run("node_modules - ~/Code/app", 1, 72h), run("b", 1, 80h),
                                run("c", 1, 90h), run("d", 1, 100h)});
    ASSERT_EQ(sidebar.historyRows().size(), 3u);
    EXPECT_FALSE(sidebar.recentSection()->isHidden());
    EXPECT_EQ(sidebar.historyRows()[0]->title(), "2 folders");
    EXPECT_EQ(sidebar.historyRows()[0]->subtitle(), "2.5 MB - yesterday");
    EXPECT_EQ(sidebar.historyRows()[0]->toolTip(), "2 folders, 2.5 MB, 1 failed, cancelled");
    EXPECT_EQ(sidebar.historyRows()[1]->title(), "node_modules - ~/Code/app");
    EXPECT_EQ(sidebar.historyRows()[1]->subtitle(), "2.5 MB - 3 days ago");

    f.state->setExcludedPaths({});
    f.state->setCleanupHistory({});
    EXPECT_TRUE(sidebar.alwaysKeepSection()->isHidden());
    EXPECT_TRUE(sidebar.recentSection()->isHidden());
}

TEST(Sidebar, RowsRefreshOnlyForTheirOwnProperty)
{
    WindowFixture f;
    SidebarView &sidebar = *f.window->sidebar();
    f.state->addRoots({f.project()});
    ASSERT_EQ(sidebar.rootRows().size(), 1u);
    RootRow *row = sidebar.rootRows()[0];
    f.state->setExcludedPaths({f.home.home()});
    f.state->setSearchText("x");
    EXPECT_EQ(sidebar.rootRows()[0], row);
    EXPECT_EQ(sidebar.statusLabel()->text().toStdString(), f.state->statusMessage());

    row->button()->click();
    EXPECT_TRUE(f.state->roots().empty());
    EXPECT_TRUE(sidebar.rootRows().empty());
}

TEST(Sidebar, SettingsFollowTheStateAndExplainThemselves)
{
    WindowFixture f;
    SidebarView &sidebar = *f.window->sidebar();
    CleanupSettingsSection &cleanup = *sidebar.cleanupSettings();
    EXPECT_TRUE(sidebar.rootsExpanded());
    EXPECT_FALSE(sidebar.advancedExpanded());
    ASSERT_EQ(cleanup.targetRows().size(), CleanupRules::all().size());
    ASSERT_EQ(cleanup.targetRows().size(), 38u);

    EXPECT_EQ(cleanup.presetPicker()->toolTip(), "High-confidence dependency and cache folders.");
    emit cleanup.presetPicker()->activated(2);
    EXPECT_EQ(f.state->cleanupPreset(), CleanupPreset::deep);
    EXPECT_EQ(cleanup.presetPicker()->currentText(), "Deep");
    EXPECT_EQ(cleanup.presetPicker()->toolTip(), "All supported folder types, including advanced cleanup targets.");
    EXPECT_TRUE(cleanup.aggressiveSwitch()->isChecked());

    // Unticking the extra types by hand makes the preset custom and locks the aggressive rows.
    cleanup.aggressiveSwitch()->click();
    EXPECT_EQ(f.state->cleanupPreset(), CleanupPreset::custom);
    EXPECT_EQ(cleanup.presetPicker()->toolTip(), "Your manual folder type selection.");
    for (TargetToggleRow *row : cleanup.targetRows()) {
        EXPECT_EQ(row->isEnabled(), !row->isAggressive()) << row->key();
        EXPECT_EQ(row->isDimmed(), row->isAggressive()) << row->key();
    }
    TargetToggleRow &first = *cleanup.targetRows().front();
    first.checkBox()->click();
    EXPECT_EQ(f.state->enabledRuleKeys().count(first.key()), first.checkBox()->isChecked() ? 1u : 0u);

    for (QToolButton *button : sidebar.maintenanceButtons()) {
        EXPECT_TRUE(button->isEnabled());
    }
    f.state->setIsSuperCleanPresented(true);
    for (QToolButton *button : sidebar.maintenanceButtons()) {
        EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    }
    f.state->setIsSuperCleanPresented(false);
    EXPECT_TRUE(sidebar.maintenanceButtons().back()->isEnabled());

    sidebar.gettingStartedButton()->click();
    EXPECT_TRUE(f.state->isOnboardingPresented());
}

TEST(Sidebar, StatsReadTheLifetimeTotals)
{
    WindowFixture f;
    StatsSummaryView &stats = *f.window->sidebar()->stats();
    EXPECT_EQ(stats.historyText(), "Your total appears after the first cleanup.");
    EXPECT_TRUE(stats.breakdownText().isEmpty());
    CleanupStats totals;
    totals.cleanupRuns = 2;
    totals.cleanedFolders = 1;
    totals.cleanedBytes = 3'000'000;
    totals.movedToTrashBytes = 3'000'000;
    f.state->setCleanupStats(totals);
    EXPECT_EQ(stats.totalText().toStdString(), "3.0 MB");
    EXPECT_EQ(stats.historyText(), "1 folder cleaned");
    EXPECT_EQ(stats.breakdownText().toStdString(), "3.0 MB in Trash");
    totals.permanentlyDeletedBytes = 1'000;
    f.state->setCleanupStats(totals);
    EXPECT_EQ(stats.breakdownText().toStdString(), "3.0 MB in Trash - 1 KB deleted");
}

// A window with folders, kept paths and history, unfolded, in the light and the dark palette.
TEST(Sidebar, Screenshots)
{
    for (auto scheme : {ui::ColorScheme::light, ui::ColorScheme::dark}) {
        ui::applyColorScheme(*qApp, scheme);
        WindowFixture f;
        f.state->addRoots({f.project("Code/app"), f.project("Projects/a-much-longer-project-name/with/a/deep/path")});
        f.state->setExcludedPaths({f.home.home() + "/Code/app/node_modules"});
        f.state->setCleanupHistory({run("node_modules - ~/Code/app", 1, 26h), run("", 4, 200h)});
        CleanupStats totals;
        totals.cleanupRuns = 2;
        totals.cleanedFolders = 5;
        totals.cleanedBytes = 1'250'000'000;
        totals.movedToTrashBytes = 1'250'000'000;
        f.state->setCleanupStats(totals);
        const std::string suffix = scheme == ui::ColorScheme::dark ? "-dark" : "-light";
        QCoreApplication::processEvents();  // lays out the rows just added
        EXPECT_TRUE(testing::saveScreenshot(*f.window, "main-window" + suffix));
        // Recent rows end in an ellipsis when cut, never mid-glyph.
        for (HistoryRow *row : f.window->sidebar()->historyRows()) {
            const QLabel &title = *row->titleLabel();
            EXPECT_LE(title.fontMetrics().horizontalAdvance(title.text()), title.contentsRect().width());
            EXPECT_TRUE(title.text() == row->title() || title.text().endsWith(QStringLiteral("…")));
        }
        SidebarView &sidebar = *f.window->sidebar();
        sidebar.setAdvancedExpanded(true);
        QScrollBar *scroll = sidebar.scrollArea()->verticalScrollBar();
        QCoreApplication::processEvents();
        scroll->setValue(scroll->maximum() / 2);
        EXPECT_TRUE(testing::saveScreenshot(sidebar, "sidebar-advanced" + suffix));
        scroll->setValue(scroll->maximum());
        EXPECT_TRUE(testing::saveScreenshot(sidebar, "sidebar-bottom" + suffix));
        QMenu &standard = *sidebar.standardFolderButton()->menu();
        standard.popup(sidebar.mapToGlobal(QPoint(20, 20)));
        EXPECT_TRUE(testing::saveScreenshot(standard, "add-standard-folder-menu" + suffix));
        // The divider before "Recommended Folders" stands out from the menu in either palette.
        const QImage menu = standard.grab().toImage();
        const QRect divider = standard.actionGeometry(standard.actions().at(5));
        ASSERT_TRUE(standard.actions().at(5)->isSeparator());
        const int background = QColor(menu.pixel(divider.left() + 2, divider.top())).lightness();
        int strongest = 0;
        for (int y = divider.top(); y <= divider.bottom(); ++y) {
            const int line = QColor(menu.pixel(divider.center().x(), y)).lightness();
            strongest = std::max(strongest, std::abs(line - background));
        }
        EXPECT_GE(strongest, 25) << suffix;
        standard.close();
    }
    ui::applyColorScheme(*qApp, ui::ColorScheme::light);
}

}  // namespace
}  // namespace tarnwick
