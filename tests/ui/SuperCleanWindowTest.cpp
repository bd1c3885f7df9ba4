// The guided cleanup's window driven as a user drives it, with QTest's mouse and keys: real folder
// trees in a private home, the real scan, Trash and journal. Scans and cleanings are held at exact
// reports through the coordinator's probes, never by waiting for time to pass.

#include "UiTestSupport.h"

#include "FixtureTree.h"
#include "TestEnvironment.h"
#include "app/BackgroundRun.h"
#include "app/InMemoryPreferencesStore.h"
#include "app/SuperCleanCoordinator.h"
#include "engine/CancellationToken.h"
#include "engine/TrashTransactionRecord.h"
#include "ui/ElidedLabel.h"
#include "ui/MainWindow.h"
#include "ui/SuperCleanCleaningStep.h"
#include "ui/SuperCleanCompletionStep.h"
#include "ui/SuperCleanConfirmationSheet.h"
#include "ui/SuperCleanItemList.h"
#include "ui/SuperCleanItemModel.h"
#include "ui/SuperCleanPresenter.h"
#include "ui/SuperCleanMetric.h"
#include "ui/SuperCleanProgressStep.h"
#include "ui/SuperCleanInspector.h"
#include "ui/SuperCleanResultsStep.h"
#include "ui/DisplayText.h"
#include "ui/SuperCleanWindow.h"
#include "ui/UiStyle.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QThreadPool>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>

// Failure messages show the text rather than its bytes.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tarnwick {
namespace {

using testing::FixtureTree;

// Holds a worker thread at one report until the test lets it go. The wait is bounded only so that
// a failing test cannot hang the run.
void writeFile(const std::string &path, int64_t bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << std::string(static_cast<std::size_t>(bytes), 'x');
}

void age(const std::string &path, int days)
{
    const auto then = std::chrono::system_clock::now() - std::chrono::hours(24 * days);
    const timespec time{std::chrono::system_clock::to_time_t(then), 0};
    const timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

void javaScriptProject(const std::string &folder, int64_t bytes, int days = 60)
{
    writeFile(folder + "/package.json", 20);
    writeFile(folder + "/node_modules/dep/index.js", bytes);
    age(folder + "/node_modules", days);
}

template <typename Widget = QAbstractButton>
Widget *visibleWithText(QWidget &root, const QString &text)
{
    for (Widget *widget : root.findChildren<Widget *>()) {
        if (widget->isVisibleTo(&root) && widget->text() == text) {
            return widget;
        }
    }
    return nullptr;
}

std::vector<QString> footerButtons(SuperCleanWindow &window)
{
    std::vector<QString> texts;
    for (auto *button : window.findChild<QWidget *>("superCleanFooter")->findChildren<QPushButton *>()) {
        if (button->isVisibleTo(&window)) {
            texts.push_back(button->text());
        }
    }
    return texts;
}

// Clicks, then lets the event loop run as it would between two clicks of a user: views that were
// rebuilt are shown only then.
void click(QAbstractButton *button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

class SuperCleanWindowTest : public ::testing::TestWithParam<ui::ColorScheme> {
protected:
    void SetUp() override
    {
        ui::applyColorScheme(*qApp, GetParam());
        // Seven Recommended, three Review and one Advanced item, once the chosen folder is added
        // and the Gradle location is left out.
        const std::string projects = home.home() + "/Projects";
        javaScriptProject(projects + "/web1", 900000);
        javaScriptProject(projects + "/web2", 700000);
        javaScriptProject(projects + "/web3", 500000);
        javaScriptProject(projects + "/web4", 300000);
        writeFile(projects + "/tool/Cargo.toml", 20);
        writeFile(projects + "/tool/target/debug/app", 600000);
        age(projects + "/tool/target", 60);
        writeFile(projects + "/lib/__pycache__/mod.pyc", 40000);
        age(projects + "/lib/__pycache__", 60);
        writeFile(projects + "/site/dist/bundle.js", 150000);
        javaScriptProject(projects + "/fresh", 60000, 2);
        writeFile(home.home() + "/.npm/_cacache/index", 50000);
        writeFile(home.home() + "/.colima/default/disk", 80000);
        writeFile(home.home() + "/.gradle/caches/modules/jar", 30000);
        javaScriptProject(chosen.path("client"), 800000);

        store.set("automaticUpdateChecksEnabled", false);
        state = std::make_unique<AppState>(store, testing::isolatedEnvironment(home.home(), &shell));
        main = std::make_unique<MainWindow>(*state, shell);
        main->show();
    }

    void TearDown() override
    {
        hold.reset();
        state->closeSuperClean();
        backgroundRunPool().waitForDone();
        main.reset();
        state.reset();
        ui::applyColorScheme(*qApp, ui::ColorScheme::light);
    }

    SuperCleanCoordinator &coordinator() { return state->superCleanCoordinator(); }

    SuperCleanWindow *open()
    {
        state->startSuperClean();
        return main->findChild<SuperCleanPresenter *>()->window();
    }

    // Holds the next scan once it has reported `count` matches found, after their items were posted.
    // Matches are measured side by side, so the found ones are counted rather than read from the
    // matched count, which includes those still being measured.
    void holdScanAfterMatches(int64_t count)
    {
        auto found = std::make_shared<int64_t>(0);
        hold = std::make_unique<testing::RunHold>(
            testing::RunHold::at<ScanProgress>("superCleanScan", [count, found](const ScanProgress &progress) {
                return progress.message.rfind("Found ", 0) == 0 && ++*found == count;
            }));
    }

    void clickRow(SuperCleanWindow &window, const std::string &path)
    {
        SuperCleanItemList &list = window.resultsStep()->list();
        const QRect row = list.rowRect(path);
        ASSERT_FALSE(row.isEmpty()) << path;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row.center());
        QCoreApplication::processEvents();
    }

    void showTier(SuperCleanWindow &window, const QString &prefix)
    {
        for (auto *button : window.resultsStep()->findChildren<QPushButton *>()) {
            if (button->text().startsWith(prefix)) {
                click(button);
                return;
            }
        }
        FAIL() << "no tier " << prefix.toStdString();
    }

    std::string name(const std::string &step) const
    {
        return "superclean-" + step + "-" + testing::paletteName(GetParam());
    }

    testing::ScopedHome home;
    FixtureTree chosen;
    testing::FakeDesktopShell shell;
    InMemoryPreferencesStore store;
    std::unique_ptr<AppState> state;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<testing::RunHold> hold;
};

TEST_P(SuperCleanWindowTest, GuidedFlowFromScopesToTheTrash)
{
    const std::string projects = home.home() + "/Projects";
    SuperCleanWindow *window = open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    QAbstractItemModelTester modelTester(&window->resultsStep()->model(),
                                         QAbstractItemModelTester::FailureReportingMode::Fatal);

    // Scopes: the chosen folder joins the project group, the Gradle location is left out.
    EXPECT_EQ(footerButtons(*window), (std::vector<QString>{"Cancel", "Analyze Developer Storage"}));
    EXPECT_NE(visibleWithText<QLabel>(*window, "Not found on this computer"), nullptr);
    shell.nextChosenFolders = {chosen.root()};
    click(visibleWithText(*window, "Add Project Folder"));
    const auto &projectRoots = coordinator().scopeGroups()[0].roots;
    ASSERT_EQ(projectRoots.back().path, chosen.root());
    QCheckBox *gradle = nullptr;
    for (auto *box : window->findChildren<QCheckBox *>()) {
        gradle = box->accessibleName() == ui::displayPath(home.home() + "/.gradle") ? box : gradle;
    }
    ASSERT_NE(gradle, nullptr);
    EXPECT_NE(visibleWithText<QLabel>(*window, "2 selected"), nullptr) << ".npm and .gradle";
    click(gradle);
    EXPECT_FALSE(gradle->isChecked());
    EXPECT_FALSE(coordinator().scopeGroups()[2].roots[1].isSelected);
    EXPECT_NE(visibleWithText<QLabel>(*window, "1 selected"), nullptr);
    // A location that is not there is shown as not analyzed, and cannot be ticked.
    for (auto *box : window->findChildren<QCheckBox *>()) {
        if (box->accessibleName() == ui::displayPath(home.home() + "/Developer")) {
            EXPECT_FALSE(box->isChecked());
            EXPECT_FALSE(box->isEnabled());
        }
    }
    EXPECT_EQ(testing::cutTexts(*window), std::vector<std::string>{});
    EXPECT_TRUE(testing::saveScreenshot(*window, name("scope")));

    // The analysis, held after its last match: the live list shows the first eight of eleven.
    holdScanAfterMatches(11);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::scanning);
    EXPECT_EQ(footerButtons(*window), std::vector<QString>{"Cancel Scan"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold->isHolding() && coordinator().items().size() == 11; }, 30000));
    QTest::qWait(0);
    int liveRows = 0;
    for (auto *label : window->progressStep()->findChildren<QLabel *>("liveResultName")) {
        liveRows += label->isVisibleTo(window) ? 1 : 0;
    }
    EXPECT_EQ(liveRows, SuperCleanProgressStep::kLiveRows);
    EXPECT_EQ(window->progressStep()->findChild<QLabel *>("foundSoFar")->text(), "Found 11 folders so far");
    EXPECT_TRUE(testing::saveScreenshot(*window, name("progress")));
    hold->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return coordinator().phase() == SuperCleanPhase::reviewing; }, 30000));

    // The review, by tier.
    SuperCleanResultsStep &results = *window->resultsStep();
    SuperCleanItemModel &model = results.model();
    EXPECT_EQ(footerButtons(*window), (std::vector<QString>{"Done", "Move Selected to Trash"}));
    EXPECT_NE(visibleWithText(results, "Recommended (7)"), nullptr);
    EXPECT_NE(visibleWithText(results, "Review (3)"), nullptr);
    EXPECT_NE(visibleWithText(results, "Advanced (1)"), nullptr);
    EXPECT_EQ(model.rowCount(), 7);
    EXPECT_EQ(results.findChild<QLabel *>("inspectorName")->text(), "node_modules");
    EXPECT_NE(visibleWithText<QLabel>(results, "High-confidence generated folder"), nullptr);

    showTier(*window, "Review");
    EXPECT_EQ(model.rowCount(), 3);
    const std::string dist = projects + "/site/dist";
    clickRow(*window, dist);
    EXPECT_EQ(coordinator().focusedItemID(), dist);
    EXPECT_TRUE(coordinator().selectedItemIDs().contains(dist)) << "a click ticks the Review item";
    EXPECT_NE(visibleWithText<QLabel>(results, "Review required"), nullptr);
    EXPECT_EQ(results.findChild<QLabel *>("inspectorConsequence")->text(), "Review this item before selecting it.");
    click(visibleWithText(results, "Reveal"));
    click(visibleWithText(results, "Copy Path"));
    EXPECT_EQ(shell.revealed, std::vector<std::string>{dist});
    EXPECT_EQ(shell.clipboard, dist);
    EXPECT_TRUE(testing::saveScreenshot(*window, name("results")));

    // Always Keep leaves this session and the application's list.
    showTier(*window, "Advanced");
    const std::string colima = home.home() + "/.colima";
    clickRow(*window, colima);
    click(visibleWithText(results, "Always Keep"));
    EXPECT_TRUE(state->excludedPaths().contains(colima));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_NE(visibleWithText(results, "Advanced (0)"), nullptr);
    // The empty tier explains itself, and the inspector shows nothing of the tiers out of view.
    ASSERT_NE(results.emptyTierNote(), nullptr);
    EXPECT_TRUE(results.emptyTierNote()->isVisible());
    ASSERT_TRUE(coordinator().focusedItemID().has_value());
    EXPECT_FALSE(results.inspector().shownItemID().has_value());
    EXPECT_EQ(testing::cutTexts(*window), std::vector<std::string>{});
    EXPECT_TRUE(testing::saveScreenshot(*window, name("results-empty-tier")));
    showTier(*window, "Recommended");
    EXPECT_EQ(results.emptyTierNote(), nullptr);
    EXPECT_EQ(results.inspector().shownItemID(), coordinator().focusedItemID());
    showTier(*window, "Advanced");

    // Two selected folders change behind the review's back: one goes, one is replaced.
    std::filesystem::remove_all(projects + "/web4/node_modules");
    std::filesystem::remove_all(projects + "/lib/__pycache__");
    std::filesystem::create_directories(projects + "/lib/__pycache__");

    // The confirmation names six of the eight selected items.
    ASSERT_EQ(coordinator().selectedItemIDs().size(), 8u);
    click(visibleWithText(*window, "Move Selected to Trash"));
    SuperCleanConfirmationSheet *sheet = window->confirmationSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->findChildren<QLabel *>("confirmationItem").size(), 6);
    EXPECT_EQ(sheet->findChild<QLabel *>("confirmationMore")->text(), "2 more");
    QPixmap composite = window->grab();
    {
        QPainter painter(&composite);
        const QPixmap sheetPixels = sheet->grab();
        const QRect sheetRect((composite.width() - sheetPixels.width()) / 2, 60, sheetPixels.width(),
                              sheetPixels.height());
        painter.drawPixmap(sheetRect.topLeft(), sheetPixels);
        painter.setPen(sheet->palette().color(QPalette::Mid));
        painter.drawRect(sheetRect.adjusted(-1, -1, 0, 0));
    }
    EXPECT_TRUE(composite.save(QStringLiteral(TARNWICK_SCREENSHOT_DIR "/%1.png")
                                   .arg(QString::fromStdString(name("confirmation")))));

    // The cleaning, held once the first item has moved.
    hold = std::make_unique<testing::RunHold>(
        testing::RunHold::at<DeleteProgress>("superCleanCleaning", [](const DeleteProgress &progress) {
            return progress.deletedCount == 1 && progress.message.rfind("Moved ", 0) == 0;
        }));
    click(visibleWithText(*sheet, "Move to Trash"));
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::cleaning);
    EXPECT_EQ(footerButtons(*window), std::vector<QString>{"Cancel After Current Item"});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return hold->isHolding() && coordinator().deleteProgress().deletedCount == 1; }, 30000));
    const auto *bar = window->cleaningStep()->findChild<QProgressBar *>();
    EXPECT_EQ(bar->maximum(), 8);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(window->cleaningStep()->findChild<QLabel *>("cleaningPosition")->text(), "1 of 8");
    EXPECT_TRUE(testing::saveScreenshot(*window, name("cleaning")));
    hold->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return coordinator().phase() == SuperCleanPhase::completed; }, 30000));

    // The completion: six moved, one changed and skipped, one already gone.
    ASSERT_TRUE(coordinator().result().has_value());
    const SuperCleanCompletionReport report = coordinator().result()->report;
    EXPECT_EQ(report.movedCount, 6);
    SuperCleanCompletionStep &completion = *window->completionStep();
    EXPECT_EQ(footerButtons(*window), (std::vector<QString>{"Put Back", "Open Trash", "Done"}));
    EXPECT_EQ(completion.findChild<QLabel *>("completionSummary")->text(), ui::qstring(report.summaryText()));
    std::map<QString, QString> metrics;
    for (auto *metric : completion.findChildren<SuperCleanMetric *>()) {
        metrics[metric->title()] = metric->value();
    }
    EXPECT_EQ(metrics["Moved to Trash"], ui::sizeText(report.movedToTrashBytes));
    EXPECT_EQ(metrics["Selected"], ui::sizeText(report.selectedBytes));
    EXPECT_EQ(completion.findChild<QLabel *>("problemCounts")->text(), "1 skipped, 1 already gone, 0 failed.");
    const auto *problems = completion.findChild<QTreeWidget *>();
    ASSERT_EQ(problems->topLevelItemCount(), 1);
    EXPECT_EQ(problems->topLevelItem(0)->text(0), ui::displayPath(projects + "/lib/__pycache__"));
    EXPECT_TRUE(testing::saveScreenshot(*window, name("completion")));

    // What moved lies in this home's Trash and has a journal line each.
    std::ifstream journal(home.home() + "/.local/share/Tarnwick/SuperCleanTransactions.jsonl");
    std::set<std::string> journaled;
    for (std::string line; std::getline(journal, line);) {
        const auto record = TrashTransactionRecord::fromJson(nlohmann::ordered_json::parse(line));
        ASSERT_TRUE(record.has_value()) << line;
        journaled.insert(record->originalPath);
        EXPECT_EQ(record->trashPath.rfind(home.home() + "/.local/share/Trash/files/", 0), 0u) << record->trashPath;
        EXPECT_TRUE(std::filesystem::exists(record->trashPath)) << record->trashPath;
    }
    EXPECT_EQ(journaled, (std::set<std::string>{projects + "/web1/node_modules", projects + "/web2/node_modules",
                                                projects + "/web3/node_modules", projects + "/tool/target",
                                                chosen.path("client/node_modules"), dist}));
    for (const auto &path : journaled) {
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }

    click(visibleWithText(*window, "Open Trash"));
    EXPECT_EQ(shell.trashOpenings, 1);

    // Put Back returns every moved folder to its place, then has nothing left to do.
    auto *putBack = visibleWithText(*window, "Put Back");
    ASSERT_TRUE(putBack && putBack->isEnabled());
    click(putBack);
    for (const auto &path : journaled) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_EQ(completion.findChild<QLabel *>("putBackOutcome")->text(), "Put back 6 folders.");
    EXPECT_FALSE(putBack->isEnabled());
    click(visibleWithText(*window, "Done"));
    EXPECT_FALSE(state->isSuperCleanPresented());
    EXPECT_FALSE(window->isVisible());
}

// The refusals and the ways out, in the light look only.
class SuperCleanWindowExitsTest : public SuperCleanWindowTest {
protected:
    // Unticks every selected item of every tier by clicking its row.
    void unselectAll(SuperCleanWindow &window)
    {
        SuperCleanItemModel &model = window.resultsStep()->model();
        for (const char *tier : {"Recommended", "Review", "Advanced"}) {
            showTier(window, tier);
            for (int row = 0; row < model.rowCount(); ++row) {
                const QModelIndex index = model.index(row, 0);
                if (index.data(SuperCleanItemModel::selectedRole).toBool()) {
                    clickRow(window, index.data(SuperCleanItemModel::itemIDRole).toByteArray().toStdString());
                }
            }
        }
    }
};

TEST_P(SuperCleanWindowExitsTest, ACancelledScanStaysUsableAnEmptyCleaningIsRefusedAndEscapeCancels)
{
    SuperCleanWindow *window = open();
    ASSERT_NE(window, nullptr);

    // Cancelled after its third match, the scan keeps what it found and the review goes on.
    holdScanAfterMatches(3);
    click(visibleWithText(*window, "Analyze Developer Storage"));
    EXPECT_EQ(footerButtons(*window), std::vector<QString>{"Cancel Scan"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return hold->isHolding() && coordinator().items().size() == 3; }, 30000));
    click(visibleWithText(*window, "Cancel Scan"));
    EXPECT_EQ(coordinator().statusMessage(), "Cancelling after the current item...");
    hold->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return coordinator().phase() == SuperCleanPhase::cancelled; }, 30000));
    EXPECT_EQ(coordinator().items().size(), 3u);
    EXPECT_EQ(footerButtons(*window), (std::vector<QString>{"Done", "Move Selected to Trash"}));

    // With nothing selected the button is off, and Return only says why.
    unselectAll(*window);
    auto *move = visibleWithText<QPushButton>(*window, "Move Selected to Trash");
    EXPECT_FALSE(move->isEnabled());
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(window->findChild<ElidedLabel *>("superCleanStatus")->fullText(), "Select at least one item first.");
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::cancelled);
    EXPECT_FALSE(coordinator().isConfirmationPresented());
    EXPECT_EQ(window->confirmationSheet(), nullptr);

    // One ticked item can be confirmed; Escape on the confirmation leaves everything as it was.
    // Which three were found first depends on how the walk's workers met them: any tier will do.
    SuperCleanItemModel &model = window->resultsStep()->model();
    for (const char *tier : {"Recommended", "Review", "Advanced"}) {
        if (model.rowCount() > 0) {
            break;
        }
        showTier(*window, tier);
    }
    ASSERT_GT(model.rowCount(), 0);
    clickRow(*window, model.index(0, 0).data(SuperCleanItemModel::itemIDRole).toByteArray().toStdString());
    ASSERT_TRUE(move->isEnabled());
    click(move);
    ASSERT_NE(window->confirmationSheet(), nullptr);
    QTest::keyClick(window->confirmationSheet(), Qt::Key_Escape);
    EXPECT_FALSE(coordinator().isConfirmationPresented());
    EXPECT_EQ(window->confirmationSheet(), nullptr);
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::cancelled);
    EXPECT_EQ(coordinator().selectedItemIDs().size(), 1u);

    // Opened again, the window starts afresh; Escape during the scan closes it and cancels the scan.
    click(visibleWithText(*window, "Done"));
    EXPECT_FALSE(state->isSuperCleanPresented());
    QPointer<SuperCleanWindow> reopened = open();
    ASSERT_NE(reopened, nullptr);
    EXPECT_NE(reopened.data(), window);
    EXPECT_EQ(reopened->resultsStep()->selectedTier(), SuperCleanTier::recommended);
    holdScanAfterMatches(1);
    click(visibleWithText(*reopened, "Analyze Developer Storage"));
    ASSERT_TRUE(hold->waitUntilHolding());
    EXPECT_EQ(footerButtons(*reopened), std::vector<QString>{"Cancel Scan"});
    QTest::keyClick(reopened, Qt::Key_Escape);
    EXPECT_FALSE(state->isSuperCleanPresented());
    EXPECT_FALSE(reopened->isVisible());
    EXPECT_EQ(coordinator().statusMessage(), "Cancelling after the current item...");
    hold->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator().isBusy(); }, 30000));
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::cancelled);
}

TEST_P(SuperCleanWindowExitsTest, NothingToAnalyzeIsExplainedAndAnEmptyAnalysisSaysSo)
{
    SuperCleanWindow *window = open();
    ASSERT_NE(window, nullptr);
    for (auto *box : window->findChildren<QCheckBox *>()) {
        if (box->isChecked()) {
            click(box);
        }
    }
    click(visibleWithText(*window, "Analyze Developer Storage"));
    EXPECT_EQ(coordinator().statusMessage(), "Select at least one existing folder.");
    EXPECT_EQ(coordinator().phase(), SuperCleanPhase::choosingScope);

    shell.nextChosenFolders = {chosen.folder("empty")};
    click(visibleWithText(*window, "Add Project Folder"));
    click(visibleWithText(*window, "Analyze Developer Storage"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return coordinator().phase() == SuperCleanPhase::reviewing; }, 30000));
    EXPECT_EQ(coordinator().statusMessage(), "No Super Clean candidates found.");
    EXPECT_NE(visibleWithText<QLabel>(*window, "No candidates found"), nullptr);
    EXPECT_FALSE(visibleWithText(*window, "Move Selected to Trash")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Palettes, SuperCleanWindowExitsTest, ::testing::Values(ui::ColorScheme::light),
                         testing::paletteTestName);

INSTANTIATE_TEST_SUITE_P(ColorSchemes, SuperCleanWindowTest,
                         ::testing::Values(ui::ColorScheme::light, ui::ColorScheme::dark),
                         testing::paletteTestName);

}  // namespace
}  // namespace tarnwick
