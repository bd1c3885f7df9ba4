// The main window at the size it opens at on a laptop screen and at its minimum, in both palettes:
// pictures of every state and sheet for a person to look at, and what can be measured of them. The
// Path column keeps a third of the list, no title, message or button of the header, the banner,
// the inspector or a sheet is cut, and nothing needs scrolling sideways. The same tests run again
// at a scale factor of 2.

#include "ReviewWindowFixture.h"
#include "ui/CandidateInspector.h"
#include "ui/CleanupSummarySheet.h"
#include "ui/DeleteConfirmationSheet.h"
#include "ui/EmptyReviewView.h"
#include "ui/MaintenanceReportSheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/OperationBanner.h"
#include "ui/ReviewHeader.h"
#include "ui/SheetPresenter.h"
#include "ui/SidebarView.h"
#include "ui/StandardFolderSheet.h"
#include "ui/WindowLayoutStore.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <tuple>

namespace tarnwick {
namespace {

using Case = std::tuple<ui::ColorScheme, bool>;  // palette, minimum size

class WindowLayout : public testing::ReviewWindowFixture, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override
    {
        ReviewWindowFixture::SetUp();
        ui::applyColorScheme(*qApp, std::get<0>(GetParam()));
    }

    bool atMinimum() const { return std::get<1>(GetParam()); }

    // The size the window opens at on a 1440 by 900 screen, or its minimum.
    QSize size() const
    {
        return atMinimum() ? MainWindow::minimumWindowSize
                           : WindowLayoutStore::defaultSize(QRect(0, 0, 1440, 870), MainWindow::minimumWindowSize);
    }

    std::string name(const std::string &picture) const
    {
        return "layout-" + picture + "-" + (atMinimum() ? "minimum" : "default") + "-" +
               testing::paletteName(std::get<0>(GetParam()));
    }

    MainWindow &openSized(bool firstLaunch = false)
    {
        open(firstLaunch);
        window->resize(size());
        settle();
        return *window;
    }

    // The window at its size fits without sideways scrolling: nothing in it asks for more width.
    void expectFitsItsWidth()
    {
        EXPECT_EQ(window->width(), size().width());
        EXPECT_LE(window->centralWidget()->minimumSizeHint().width(), window->centralWidget()->width());
        QScrollArea &sidebar = *window->sidebar()->scrollArea();
        EXPECT_LE(sidebar.widget()->minimumSizeHint().width(), sidebar.viewport()->width());
        EXPECT_LE(sidebar.widget()->width(), sidebar.viewport()->width());
    }

    void expectWhole(QWidget &part, const char *what)
    {
        EXPECT_EQ(testing::cutTexts(part), std::vector<std::string>{}) << what;
    }

    // A sheet as it appears over the window, measured at the size it takes.
    void checkSheet(QDialog &sheet, const std::string &picture)
    {
        sheet.adjustSize();
        sheet.show();
        settle();
        expectWhole(sheet, picture.c_str());
        EXPECT_LE(sheet.width(), window->width());
        QPixmap composed = window->grab();
        QPainter painter(&composed);
        painter.fillRect(composed.rect(), QColor(0, 0, 0, 60));
        const QPixmap over = sheet.grab();
        const qreal width = composed.deviceIndependentSize().width() - over.deviceIndependentSize().width();
        painter.drawPixmap(QPointF(width / 2, 40), over);
        painter.end();
        QDir().mkpath(TARNWICK_SCREENSHOT_DIR);
        EXPECT_TRUE(composed.save(QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1%2.png")
                                      .arg(QString::fromStdString(name(picture)), testing::screenshotSuffix())));
    }
};

TEST_P(WindowLayout, EveryStateFitsAndShowsItsWholeText)
{
    makeProjects();
    store.set("roots", std::vector<std::string>{tree.path("code")});
    openSized(true);
    ASSERT_NE(window->sheets()->onboarding(), nullptr);
    checkSheet(*window->sheets()->onboarding(), "first-launch");
    window->sheets()->onboarding()->doneButton()->click();
    settle();
    expectFitsItsWidth();
    expectWhole(*review().header(), "header");
    expectWhole(*review().emptyView(), "empty state");
    EXPECT_TRUE(testing::saveScreenshot(*window, name("ready")));

    state->scan();
    waitWhileBusy();
    state->setFocusedCandidateID(tree.path("code/py/.mypy_cache"));
    settle();
    review().inspector()->refreshNow();
    settle();
    expectFitsItsWidth();
    expectWhole(*review().header(), "header");
    expectWhole(*review().inspector(), "inspector");
    // The Path column keeps at least a third of the list, so rows can be told apart.
    const int pathWidth = list().horizontalHeader()->sectionSize(CandidateTableModel::pathColumn);
    EXPECT_GE(pathWidth * 3, list().width()) << pathWidth << " of " << list().width();
    for (int column = 0; column < CandidateTableModel::pathColumn; ++column) {
        const QString title = CandidateTableModel::columnTitle(column);
        const int needed = list().horizontalHeader()->fontMetrics().horizontalAdvance(title) + 10;
        EXPECT_LE(needed, list().horizontalHeader()->sectionSize(column)) << title.toStdString();
    }
    EXPECT_TRUE(testing::saveScreenshot(*window, name("results")));

    // The banner, with what the finished scan left in it, where a running one shows it.
    OperationBanner &banner = *review().banner();
    banner.parentWidget()->show();
    settle();
    expectWhole(banner, "banner");
    banner.parentWidget()->hide();

    state->requestDeleteConfirmation();
    settle();
    ASSERT_NE(window->sheets()->deleteConfirmation(), nullptr);
    checkSheet(*window->sheets()->deleteConfirmation(), "confirmation");
    window->sheets()->deleteConfirmation()->reject();
    settle();

    CleanupSummarySheet summary({"s", CleanupAction::moveToTrash, 9, 1'234'567'890, 2, false, 9'876'543'210},
                                window.get());
    checkSheet(summary, "summary");
    const MaintenanceReport report{"r",
                                   "Homebrew Cleanup Preview",
                                   "brew cleanup --dry-run",
                                   "Would remove: /home/dev/.cache/Homebrew/node--21.1.0.bottle.tar.gz (24.3MB)\n"
                                   "==> This operation would free approximately 24.3MB of disk space.",
                                   "Run Homebrew Cleanup",
                                   MaintenanceAction::runHomebrewCleanup};
    MaintenanceReportSheet reportSheet(report, *state, window.get());
    reportSheet.resize(680, 420);
    checkSheet(reportSheet, "maintenance-report");

    state->addXcodeRoot();
    settle();
    ASSERT_NE(window->sheets()->standardFolderAlert(), nullptr);
    checkSheet(*window->sheets()->standardFolderAlert(), "standard-folder");
}

std::string caseName(const ::testing::TestParamInfo<Case> &info)
{
    return testing::paletteName(std::get<0>(info.param)) + (std::get<1>(info.param) ? "_minimum" : "_default");
}

INSTANTIATE_TEST_SUITE_P(SizesAndPalettes, WindowLayout,
                         ::testing::Combine(::testing::Values(ui::ColorScheme::light, ui::ColorScheme::dark),
                                            ::testing::Bool()),
                         caseName);

}  // namespace
}  // namespace tarnwick
