// The classic flow as a user walks it through the main window: the first-launch guide, a folder
// from the chooser, a scan whose rows appear while it runs, search, filters, sorting, Always Keep,
// the confirmation, the real Trash of a private home, the summary and the empty states.

#include "ReviewWindowFixture.h"
#include "core/ByteCountFormatter.h"
#include "ui/CandidateInspector.h"
#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/EmptyFilteredView.h"
#include "ui/EmptyReviewView.h"
#include "ui/MetricPill.h"
#include "ui/OnboardingSheet.h"
#include "ui/OperationBanner.h"
#include "ui/ReviewHeader.h"
#include "ui/SheetPresenter.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

namespace tarnwick {
namespace {

class ReviewFlow : public testing::ReviewWindowFixture {
protected:
    QPoint cellCenter(int row, int column) { return list().visualRect(model().index(row, column)).center(); }

    void clickRow(int row, int column = CandidateTableModel::pathColumn)
    {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, cellCenter(row, column));
        settle();
    }

    // Opens a row's menu the way `open` does and triggers the item with this text.
    void chooseFromMenu(const QString &item, const std::function<void()> &open)
    {
        bool found = false;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction *action : menu->actions()) {
                if (action->text() == item) {
                    found = true;
                    action->trigger();
                }
            }
            menu->close();
        });
        open();
        settle();
        EXPECT_TRUE(found) << item.toStdString();
    }

    std::vector<std::string> trashedNames() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(home.home() + "/.local/share/Trash/files")) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(ReviewFlow, FromTheFirstLaunchToCleanupComplete)
{
    makeProjects();
    makeBulk();
    open(true);

    // The guide greets a first launch; Done remembers it.
    SheetPresenter &sheets = *window->sheets();
    ASSERT_NE(sheets.onboarding(), nullptr);
    EXPECT_TRUE(sheets.onboarding()->isVisible());
    EXPECT_EQ(sheets.onboarding()->windowModality(), Qt::WindowModal);
    QTest::mouseClick(sheets.onboarding()->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(sheets.onboarding(), nullptr);
    EXPECT_FALSE(state->isOnboardingPresented());
    EXPECT_TRUE(store.boolean("hasSeenOnboarding"));

    // No folder yet: the empty state offers the chooser.
    EmptyReviewView &empty = *review().emptyView();
    EXPECT_EQ(empty.titleText(), "Choose a Folder");
    EXPECT_EQ(empty.actionButton()->text(), "Choose Folder");
    shell.nextChosenFolders = {tree.path("code"), tree.path("bulk")};
    QTest::mouseClick(empty.actionButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(state->roots(), shell.nextChosenFolders);
    EXPECT_EQ(empty.titleText(), "Ready to Scan");
    EXPECT_EQ(empty.messageText().toStdString(), tree.path("code") + ", " + tree.path("bulk"));

    // The scan: rows arrive while it runs, with the banner up and the controls that change the
    // list disabled.
    int rowsWhileScanning = 0;
    bool controlsDisabled = true;
    QObject::connect(&model(), &QAbstractItemModel::rowsInserted, [&] {
        if (!state->isScanning()) {
            return;
        }
        rowsWhileScanning = model().rowCount();
        ReviewHeader &header = *review().header();
        controlsDisabled = controlsDisabled && review().isBannerShown() && !header.showPicker()->isEnabled() &&
                           !header.sortPicker()->isEnabled() && !header.selectAllButton()->isEnabled() &&
                           !header.cleanButton()->isEnabled() &&
                           !(model().flags(model().index(0, CandidateTableModel::cleanColumn)) & Qt::ItemIsEnabled);
    });
    testing::HeldThreadPool held;
    QTest::mouseClick(empty.actionButton(), Qt::LeftButton);
    EXPECT_TRUE(state->isScanning());
    settle();
    EXPECT_EQ(empty.titleText(), "Scanning...");
    held.release();
    waitWhileBusy();
    EXPECT_GT(rowsWhileScanning, 0);
    EXPECT_TRUE(controlsDisabled);
    EXPECT_FALSE(review().isBannerShown());
    ASSERT_EQ(model().rowCount(), 12);
    EXPECT_EQ(review().currentContent(), list().parentWidget());
    EXPECT_TRUE(review().header()->summaryText().startsWith("All 12 folders selected - "));

    // Search narrows the rows; a search that matches nothing offers the way back.
    state->setSearchText("  PYCACHE ");
    settle();
    ASSERT_EQ(model().rowCount(), 1);
    EXPECT_EQ(model().candidate(0)->path, tree.path("code/py/__pycache__"));
    state->setSearchText("no such folder");
    settle();
    EXPECT_EQ(review().currentContent(), review().filteredView());
    QTest::mouseClick(review().filteredView()->showAllButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(model().rowCount(), 12);
    EXPECT_EQ(state->searchText(), "");

    // A click on a row focuses it for the inspector and unselects it; the Show picker then lists
    // it alone under Not Selected.
    const std::string second = model().candidate(1)->path;
    clickRow(1);
    EXPECT_EQ(review().inspector()->shownCategory().toStdString(), model().candidate(1)->category);
    EXPECT_FALSE(state->selectedCandidateIDs().contains(second));
    EXPECT_TRUE(review().header()->summaryText().startsWith("11 selected - "));
    QComboBox &show = *review().header()->showPicker();
    show.setFocus();
    QTest::keyClick(&show, Qt::Key_End);
    settle();
    EXPECT_EQ(state->reviewFilter(), ReviewFilter::unselected);
    ASSERT_EQ(model().rowCount(), 1);
    EXPECT_EQ(model().candidate(0)->path, second);
    clickRow(0, CandidateTableModel::cleanColumn);  // selected again, so no longer shown
    EXPECT_EQ(review().currentContent(), review().filteredView());
    QTest::keyClick(&show, Qt::Key_Home);
    settle();
    EXPECT_EQ(model().rowCount(), 12);

    // Sorting by the Sort picker and by the column titles is covered with the model; here the
    // picker follows a header click.
    QTest::mouseClick(list().horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(list().horizontalHeader()->sectionViewportPosition(CandidateTableModel::pathColumn) + 10,
                             list().horizontalHeader()->height() / 2));
    settle();
    EXPECT_EQ(review().header()->sortPicker()->currentText(), "Path");
    EXPECT_EQ(model().candidate(0)->path, tree.path("bulk/node_modules"));

    // Always Keep from the ellipsis menu removes the row and remembers the path; Copy Path from
    // the context menu.
    const std::string kept = model().candidate(0)->path;
    chooseFromMenu("Always Keep This Folder", [&] { clickRow(0, CandidateTableModel::actionsColumn); });
    EXPECT_EQ(model().rowCount(), 11);
    EXPECT_TRUE(state->excludedPaths().contains(kept));
    EXPECT_EQ(review().statusBar()->messageText(), "Added to Always Keep.");
    const std::string copied = model().candidate(3)->path;
    chooseFromMenu("Copy Path", [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, cellCenter(3, CandidateTableModel::typeColumn),
                                list().viewport()->mapToGlobal(cellCenter(3, CandidateTableModel::typeColumn)));
        QApplication::sendEvent(list().viewport(), &event);
    });
    EXPECT_EQ(shell.clipboard, copied);

    // Nine selected: the confirmation lists six and "3 more", then the folders go to the Trash.
    QTest::mouseClick(review().header()->clearSelectionButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(review().header()->summaryText(), "Nothing selected. Select folders you want to clean.");
    EXPECT_FALSE(review().header()->cleanButton()->isEnabled());
    std::vector<CleanupCandidate> chosen;
    for (int row = 0; row < 9; ++row) {
        chosen.push_back(*model().candidate(row));
        clickRow(row);
    }
    int64_t chosenBytes = 0;
    for (const auto &candidate : chosen) {
        chosenBytes += candidate.size;
    }
    EXPECT_EQ(review().statusBar()->selectionText().toStdString(), "9 selected - " + formatByteCount(chosenBytes));
    QTest::mouseClick(review().header()->cleanButton(), Qt::LeftButton);
    settle();
    DeleteConfirmationSheet *confirmation = sheets.deleteConfirmation();
    ASSERT_NE(confirmation, nullptr);
    EXPECT_EQ(confirmation->titleText(), "Move Selected Folders to Trash?");
    EXPECT_EQ(confirmation->messageText().toStdString(),
              "This will move 9 folders, about " + formatByteCount(chosenBytes) +
                  " total, to Trash. You can restore them until Trash is emptied.");
    const QStringList listed = confirmation->listedLines();
    ASSERT_EQ(listed.size(), 7);
    EXPECT_EQ(listed.last(), "3 more");
    EXPECT_EQ(listed.first().toStdString(), state->selectedCandidates().front().path);
    QTest::mouseClick(confirmation->actionButton(), Qt::LeftButton);
    EXPECT_FALSE(state->isDeleteConfirmationPresented());
    EXPECT_TRUE(state->isDeleting());
    waitWhileBusy();
    EXPECT_EQ(trashedNames().size(), 9u);
    const std::string trashList = testing::runCommand("trash-list");
    for (const auto &candidate : chosen) {
        EXPECT_NE(trashList.find(candidate.path), std::string::npos) << candidate.path;
        EXPECT_FALSE(std::filesystem::exists(candidate.path));
    }

    // The summary, the statistics and the history reflect the run.
    CleanupSummarySheet *summary = sheets.cleanupSummary();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->titleText(), "Cleanup Complete");
    EXPECT_EQ(summary->messageText().toStdString(),
              "9 folders moved to Trash, about " + formatByteCount(chosenBytes) + ". Empty Trash to free the space.");
    const auto pills = summary->pills();
    ASSERT_EQ(pills.size(), 3);
    EXPECT_EQ(pills[0]->value().toStdString(), formatByteCount(chosenBytes));
    EXPECT_EQ(pills[1]->value(), "9");
    EXPECT_EQ(state->cleanupStats().cleanedFolders, 9);
    EXPECT_EQ(state->cleanupStats().cleanedBytes, chosenBytes);
    ASSERT_EQ(state->cleanupHistory().size(), 1u);
    EXPECT_EQ(state->cleanupHistory()[0].folderCount, 9);
    QTest::mouseClick(summary->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(state->cleanupSummary().has_value());
    EXPECT_EQ(model().rowCount(), 2);

    // Clean what is left: the empty state reads "Cleanup Complete".
    QTest::mouseClick(review().header()->selectAllButton(), Qt::LeftButton);
    state->requestDeleteConfirmation();
    settle();
    ASSERT_NE(sheets.deleteConfirmation(), nullptr);
    QTest::keyClick(sheets.deleteConfirmation(), Qt::Key_Return);  // the default button
    waitWhileBusy();
    ASSERT_NE(sheets.cleanupSummary(), nullptr);
    QTest::keyClick(sheets.cleanupSummary(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(state->cleanupSummary().has_value());
    EXPECT_EQ(review().currentContent(), review().emptyView());
    EXPECT_EQ(empty.titleText(), "Cleanup Complete");
    EXPECT_EQ(empty.messageText(), "Moved 2 folders to Trash.");
    EXPECT_EQ(trashedNames().size(), 11u);
}

}  // namespace
}  // namespace tarnwick
