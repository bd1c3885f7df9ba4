// The sheets over the main window: each opens when its property asks, resets it however it is
// dismissed, and carries its texts and buttons.

#include "ReviewWindowFixture.h"
#include "core/ByteCountFormatter.h"
#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/MaintenanceReportSheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/SheetPresenter.h"
#include "ui/StandardFolderSheet.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

class Sheets : public testing::ReviewWindowFixture {
protected:
    SheetPresenter &sheets() { return *window->sheets(); }
};

TEST_F(Sheets, OnboardingIsRememberedOnlyByItsButtons)
{
    open(true);
    ASSERT_NE(sheets().onboarding(), nullptr);
    QTest::keyClick(sheets().onboarding(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(sheets().onboarding(), nullptr);
    EXPECT_FALSE(state->isOnboardingPresented());
    EXPECT_FALSE(store.object("hasSeenOnboarding").has_value()) << "closing is not completing";

    open(true);  // so it shows again at the next start; Choose Folder completes it and asks for folders
    ASSERT_NE(sheets().onboarding(), nullptr);
    shell.nextChosenFolders = {tree.folder("projects")};
    QTest::keyClick(sheets().onboarding(), Qt::Key_Return);  // Choose Folder is the default
    settle();
    EXPECT_TRUE(store.boolean("hasSeenOnboarding"));
    EXPECT_EQ(state->roots(), shell.nextChosenFolders);

    open(true);
    EXPECT_FALSE(state->isOnboardingPresented());
    EXPECT_EQ(sheets().onboarding(), nullptr);
}

TEST_F(Sheets, TheConfirmationFollowsTheMethodAndCancelOnlyCloses)
{
    tree.file("code/one/node_modules/x", 4000);
    tree.file("code/two/node_modules/x", 2000);
    store.set("roots", std::vector<std::string>{tree.path("code")});
    open();
    state->scan();
    waitWhileBusy();
    state->setCandidate(tree.path("code/two/node_modules"), false);
    const int64_t size = state->selectionTotals().bytes;
    state->requestDeleteConfirmation();
    settle();
    DeleteConfirmationSheet *sheet = sheets().deleteConfirmation();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->messageText().toStdString(), "This will move 1 folder, about " + formatByteCount(size) +
                                                      " total, to Trash. You can restore them until Trash is emptied.");
    EXPECT_EQ(sheet->listedLines(), QStringList{QString::fromStdString(tree.path("code/one/node_modules"))});
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(state->isDeleteConfirmationPresented());
    EXPECT_FALSE(state->isDeleting());

    state->setCleanupAction(CleanupAction::deletePermanently);
    state->requestDeleteConfirmation();
    settle();
    sheet = sheets().deleteConfirmation();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->titleText(), "Delete Selected Folders Permanently?");
    EXPECT_EQ(sheet->messageText().toStdString(), "This will permanently delete 1 folder, about " +
                                                      formatByteCount(size) + " total. This cannot be undone.");
    EXPECT_EQ(sheet->actionButton()->text(), "Delete Permanently");
    state->dismissDeleteConfirmation();  // the state closes it too
    settle();
    EXPECT_EQ(sheets().deleteConfirmation(), nullptr);
}

TEST(CleanupSummarySheet, TitleSymbolAndMessageFollowTheRun)
{
    struct Case {
        CleanupSummary summary;
        const char *title;
        const char *symbol;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"a", CleanupAction::moveToTrash, 2, 1500, 0, false, 9000},
         "Cleanup Complete",
         "checkmark.circle.fill",
         "2 folders moved to Trash, about " + formatByteCount(1500) + ". Empty Trash to free the space."},
        {{"b", CleanupAction::deletePermanently, 1, 700, 2, false, 9000},
         "Cleanup Finished With Issues",
         "exclamationmark.triangle.fill",
         "1 folder deleted permanently, about " + formatByteCount(700) + "."},
        {{"c", CleanupAction::moveToTrash, 0, 0, 1, true, 9000},
         "Cleanup Cancelled",
         "xmark.circle",
         "0 folders moved to Trash, about " + formatByteCount(0) + ". Empty Trash to free the space."},
    };
    for (const auto &test : cases) {
        CleanupSummarySheet sheet(test.summary);
        EXPECT_EQ(sheet.titleText(), test.title);
        EXPECT_STREQ(CleanupSummarySheet::symbol(test.summary), test.symbol);
        EXPECT_EQ(sheet.messageText().toStdString(), test.message);
        EXPECT_EQ(sheet.failureText().isEmpty(), test.summary.failureCount == 0);
        EXPECT_EQ(sheet.pills().size(), 3);
    }
    CleanupSummarySheet withFailures(cases[1].summary);
    EXPECT_EQ(withFailures.failureText(), "2 items failed. Check the status bar for the first error.");
}

TEST_F(Sheets, AMaintenanceReportOffersItsFollowUpAndAlertsCanChooseAFolder)
{
    // A stand-in brew first on PATH, which prints what it was asked.
    const std::string bin = tree.folder("bin");
    std::ofstream(bin + "/brew") << "#!/bin/sh\necho \"Would remove: $*\"\n";
    std::filesystem::permissions(bin + "/brew", std::filesystem::perms::owner_all);
    const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin";
    ::setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
    open();
    state->previewHomebrewCleanup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheets().maintenanceReport() != nullptr; }, 20000));
    MaintenanceReportSheet *report = sheets().maintenanceReport();
    EXPECT_EQ(report->outputText(), "Would remove: cleanup --dry-run");
    ASSERT_NE(report->followUpButton(), nullptr);
    EXPECT_EQ(report->followUpButton()->text(), "Run Homebrew Cleanup");
    QTest::mouseClick(report->followUpButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sheets().maintenanceReport() != nullptr && sheets().maintenanceReport() != report; }, 20000));
    report = sheets().maintenanceReport();
    EXPECT_EQ(report->outputText(), "Would remove: cleanup");
    EXPECT_EQ(report->followUpButton(), nullptr) << "only Close";
    QTest::mouseClick(report->closeButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(state->maintenanceReport().has_value());
    ::setenv("PATH", savedPath.c_str(), 1);

    // No Xcode folder in this home: the alert offers the chooser.
    state->addXcodeRoot();
    settle();
    StandardFolderSheet *alert = sheets().standardFolderAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->titleLabel()->text().toStdString(), state->standardFolderNotice()->title);
    EXPECT_EQ(alert->messageLabel()->text().toStdString(), state->standardFolderNotice()->message);
    EXPECT_EQ(alert->okButton(), nullptr);
    ASSERT_NE(alert->cancelButton(), nullptr);
    shell.nextChosenFolders = {tree.folder("xcode")};
    QPushButton *choose = alert->chooseFolderButton();
    ASSERT_NE(choose, nullptr);
    EXPECT_TRUE(choose->isDefault());
    QTest::mouseClick(choose, Qt::LeftButton);
    settle();
    EXPECT_FALSE(state->standardFolderNotice().has_value());
    EXPECT_EQ(sheets().standardFolderAlert(), nullptr);
    EXPECT_NE(std::find(state->roots().begin(), state->roots().end(), tree.path("xcode")), state->roots().end());
}

}  // namespace
}  // namespace tarnwick
