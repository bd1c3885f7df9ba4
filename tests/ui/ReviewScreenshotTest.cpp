// Pictures of the review pane and the sheets in both palettes, under build/screenshots, for a
// person to look at: the first launch, results with the inspector, the banner of a running scan,
// the confirmation, the summary and a maintenance report.

#include "ReviewWindowFixture.h"
#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/MaintenanceReportSheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/SheetPresenter.h"

#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace tarnwick {
namespace {

class ReviewScreenshots : public testing::ReviewWindowFixture, public ::testing::WithParamInterface<ui::ColorScheme> {
protected:
    void SetUp() override
    {
        ReviewWindowFixture::SetUp();
        ui::applyColorScheme(*qApp, GetParam());
    }

    std::string name(const std::string &picture) const
    {
        return picture + "-" + testing::paletteName(GetParam());
    }

    // The window with a sheet over its top middle, as a window-modal sheet appears.
    bool saveWithSheet(QWidget &sheet, const std::string &picture)
    {
        sheet.adjustSize();
        QPixmap composed = window->grab();
        QPainter painter(&composed);
        painter.fillRect(composed.rect(), QColor(0, 0, 0, 60));
        const QPixmap over = sheet.grab();
        painter.drawPixmap((composed.width() - over.width()) / 2, 40, over);
        painter.end();
        QDir().mkpath(TARNWICK_SCREENSHOT_DIR);
        return composed.save(
            QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1.png").arg(QString::fromStdString(name(picture))));
    }
};

TEST_P(ReviewScreenshots, FirstLaunchResultsScanAndSheets)
{
    makeProjects();
    makeBulk();
    store.set("roots", std::vector<std::string>{tree.path("code"), tree.path("bulk")});
    open(true);
    ASSERT_NE(window->sheets()->onboarding(), nullptr);
    EXPECT_TRUE(saveWithSheet(*window->sheets()->onboarding(), "first-launch"));
    window->sheets()->onboarding()->doneButton()->click();
    settle();

    auto hold = startScanHeldAfter(3);
    settle();
    EXPECT_TRUE(testing::saveScreenshot(*window, name("scan-banner")));
    hold->release();
    waitWhileBusy();

    state->setFocusedCandidateID(tree.path("code/py/.mypy_cache"));
    state->setCandidate(tree.path("code/web/.next"), false);
    settle();
    EXPECT_TRUE(testing::saveScreenshot(*window, name("results-inspector")));

    state->requestDeleteConfirmation();
    settle();
    ASSERT_NE(window->sheets()->deleteConfirmation(), nullptr);
    EXPECT_TRUE(saveWithSheet(*window->sheets()->deleteConfirmation(), "confirmation"));
    window->sheets()->deleteConfirmation()->reject();

    CleanupSummarySheet summary({"s", CleanupAction::moveToTrash, 9, 1'234'567'890, 2, false, 9'876'543'210});
    EXPECT_TRUE(saveWithSheet(summary, "summary"));

    const MaintenanceReport report{"r",
                                   "Homebrew Cleanup Preview",
                                   "brew cleanup --dry-run",
                                   "Would remove: /home/dev/.cache/Homebrew/node--21.1.0.bottle.tar.gz (24.3MB)\n"
                                   "Would remove: /home/dev/.cache/Homebrew/python@3.12--3.12.0.bottle.tar.gz (16MB)\n"
                                   "==> This operation would free approximately 40.3MB of disk space.",
                                   "Run Homebrew Cleanup",
                                   MaintenanceAction::runHomebrewCleanup};
    MaintenanceReportSheet reportSheet(report, *state);
    reportSheet.resize(680, 420);
    EXPECT_TRUE(saveWithSheet(reportSheet, "maintenance-report"));
}

INSTANTIATE_TEST_SUITE_P(Palettes, ReviewScreenshots, ::testing::Values(ui::ColorScheme::light, ui::ColorScheme::dark),
                         testing::paletteTestName);

}  // namespace
}  // namespace tarnwick
