// The review list's table model and its table, on real scans: rows inserted while a scan runs and
// never rebuilt per result, one reset per change of order, repaints for the selection and the
// focus, the header's sort columns; checked throughout by Qt's model tester.

#include "ReviewWindowFixture.h"
#include "app/CandidateOrdering.h"
#include "ui/CandidateInspector.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTextEdit>

namespace tarnwick {
namespace {

class CandidateTable : public testing::ReviewWindowFixture {
protected:
    std::vector<std::string> rowPaths()
    {
        std::vector<std::string> paths;
        for (int row = 0; row < model().rowCount(); ++row) {
            paths.push_back(model().candidate(row)->path);
        }
        return paths;
    }

    void clickHeader(int column)
    {
        QHeaderView *header = list().horizontalHeader();
        const QPoint point(header->sectionViewportPosition(column) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
        settle();
    }

    void expectRowsInOrder(CandidateSortMode mode)
    {
        std::vector<CleanupCandidate> rows;
        for (int row = 0; row < model().rowCount(); ++row) {
            rows.push_back(*model().candidate(row));
        }
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [mode](const auto &a, const auto &b) {
            return candidateOrderedBefore(a, b, mode);
        })) << rawValue(mode);
        EXPECT_EQ(rows, state->displayedCandidates());
    }
};

TEST_F(CandidateTable, LiveResultsAreInsertedAndEveryOtherChangeResetsOrRepaints)
{
    makeProjects();
    makeBulk();
    store.set("roots", std::vector<std::string>{tree.path("code"), tree.path("bulk")});
    open();
    QAbstractItemModelTester tester(&model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    int resetsWhileScanning = 0;
    int insertionsWhileScanning = 0;
    QObject::connect(&model(), &QAbstractItemModel::modelReset, [&] { resetsWhileScanning += state->isScanning(); });
    QObject::connect(&model(), &QAbstractItemModel::rowsInserted,
                     [&] { insertionsWhileScanning += state->isScanning(); });
    auto hold = startScanHeldAfter(5);  // rows appear while the scan runs
    EXPECT_TRUE(state->isScanning());
    EXPECT_GE(insertionsWhileScanning, 1);
    EXPECT_LE(resetsWhileScanning, 1) << "only the empty list at the start";
    hold->release();
    waitWhileBusy();
    EXPECT_LE(resetsWhileScanning, 1) << "rows are inserted, never the list rebuilt";
    ASSERT_EQ(model().rowCount(), 12);
    expectRowsInOrder(CandidateSortMode::largest);
    EXPECT_EQ(CandidateTableModel::modifiedText(std::nullopt), "Unknown");

    // Selection and focus repaint the rows; they never reset the table.
    QSignalSpy resets(&model(), &QAbstractItemModel::modelReset);
    QSignalSpy repaints(&model(), &QAbstractItemModel::dataChanged);
    const std::string third = model().candidate(2)->id;
    state->setCandidate(third, false);
    state->setFocusedCandidateID(third);
    settle();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(repaints.count(), 2);
    EXPECT_EQ(model().index(2, CandidateTableModel::cleanColumn).data(Qt::CheckStateRole), Qt::Unchecked);
    EXPECT_TRUE(model().index(2, CandidateTableModel::pathColumn).data(CandidateTableModel::focusedRole).toBool());
    EXPECT_FALSE(model().index(0, CandidateTableModel::pathColumn).data(CandidateTableModel::focusedRole).toBool());

    // Under a filter that looks at the selection, a selection change changes the rows.
    state->setReviewFilter(ReviewFilter::unselected);
    settle();
    EXPECT_EQ(rowPaths(), std::vector<std::string>{third});
    state->setCandidate(third, true);
    settle();
    EXPECT_EQ(model().rowCount(), 0);
    state->setReviewFilter(ReviewFilter::all);

    // The checkbox writes the selection through the model.
    settle();
    EXPECT_TRUE(model().setData(model().index(0, CandidateTableModel::cleanColumn), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(state->selectedCandidateIDs().contains(model().candidate(0)->id));

    // The header: Size toggles largest and smallest, the other titles pick their order.
    const std::pair<int, CandidateSortMode> clicks[] = {
        {CandidateTableModel::sizeColumn, CandidateSortMode::smallest},
        {CandidateTableModel::sizeColumn, CandidateSortMode::largest},
        {CandidateTableModel::typeColumn, CandidateSortMode::target},
        {CandidateTableModel::modifiedColumn, CandidateSortMode::lastModified},
        {CandidateTableModel::pathColumn, CandidateSortMode::path},
        {CandidateTableModel::cleanColumn, CandidateSortMode::path},
    };
    for (const auto &[column, mode] : clicks) {
        clickHeader(column);
        EXPECT_EQ(state->sortMode(), mode) << CandidateTableModel::columnTitle(column).toStdString();
        expectRowsInOrder(mode);
    }
    EXPECT_EQ(list().horizontalHeader()->sortIndicatorSection(), CandidateTableModel::pathColumn);

    // A second scan starts from an empty table and the header cannot sort while it runs.
    testing::RunHold second(testing::RunHold::afterNth<ScanProgress>("scan", 1));
    state->scan();
    ASSERT_TRUE(second.waitUntilHolding());
    settle();
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_FALSE(list().horizontalHeader()->sectionsClickable());
    clickHeader(CandidateTableModel::sizeColumn);
    EXPECT_EQ(state->sortMode(), CandidateSortMode::path);
    second.release();
    waitWhileBusy();
    EXPECT_EQ(model().rowCount(), 12);
    expectRowsInOrder(CandidateSortMode::path);
}

// A folder's name cannot make the list show another path: a right-to-left override would show
// "report", U+202E, "fdp" as "reportpdf"-like text, and a stray byte would pass for any other. Both
// show as the command line shows them, in the cell, its tooltip and the inspector.
TEST_F(CandidateTable, NamesThatCouldPassForOthersShowTheirEscapes)
{
    tree.file("code/report\u202Efdp.exe/node_modules/index.js", 1000);
    tree.file("code/odd\xff/node_modules/index.js", 1000);
    store.set("roots", std::vector<std::string>{tree.path("code")});
    open();
    state->scan();
    waitWhileBusy();
    ASSERT_EQ(model().rowCount(), 2);
    QStringList shown;
    for (int row = 0; row < model().rowCount(); ++row) {
        const QModelIndex cell = model().index(row, CandidateTableModel::pathColumn);
        const QString path = model().data(cell, CandidateTableModel::secondLineRole).toString();
        EXPECT_TRUE(model().data(cell, Qt::ToolTipRole).toString().startsWith(path + QLatin1Char('\n')));
        shown << path.mid(path.indexOf(QStringLiteral("/code/")));
    }
    shown.sort();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("/code/odd\\xff/node_modules"),
                                  QStringLiteral("/code/report\\u{202e}fdp.exe/node_modules")}));

    state->setFocusedCandidateID(tree.path("code/report\u202Efdp.exe/node_modules"));
    settle();
    const auto *inspectorPath = review().inspector()->findChild<QTextEdit *>();
    ASSERT_NE(inspectorPath, nullptr);
    EXPECT_TRUE(inspectorPath->toPlainText().endsWith(QStringLiteral("/code/report\\u{202e}fdp.exe/node_modules")));
}

}  // namespace
}  // namespace tarnwick
