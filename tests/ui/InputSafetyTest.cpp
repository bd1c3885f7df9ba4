// What a mouse or a keyboard can do to the main window: the wheel never changes a setting it
// merely passes over, every button works when clicked as a user clicks it (the sanitizer build
// runs this too), every icon-only control is named for assistive technology, and the list can be
// worked from the keyboard alone.

#include "ReviewWindowFixture.h"
#include "ui/CandidateInspector.h"
#include "ui/CleanupSettingsSection.h"
#include "ui/DisclosureHeader.h"
#include "ui/EmptyReviewView.h"
#include "ui/MainToolbar.h"
#include "ui/RelativeDateClock.h"
#include "ui/ReviewHeader.h"
#include "ui/SidebarRows.h"
#include "ui/SidebarView.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QWheelEvent>

namespace tarnwick {
namespace {

class InputSafety : public testing::ReviewWindowFixture {
protected:
    // One notch of the wheel over the middle of `widget`, delivered as the window system would.
    static void wheel(QWidget *widget, int notches)
    {
        const QPoint local = widget->rect().center();
        QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

    void scanProjects()
    {
        makeProjects();
        store.set("roots", std::vector<std::string>{tree.path("code")});
        open();
        state->scan();
        waitWhileBusy();
    }
};

TEST_F(InputSafety, TheWheelScrollsPastPickersAndChangesOnlyAFocusedOne)
{
    scanProjects();
    SidebarView &sidebar = *window->sidebar();
    sidebar.setAdvancedExpanded(true);
    settle();
    CleanupSettingsSection &cleanup = *sidebar.cleanupSettings();
    const std::vector<QComboBox *> pickers{cleanup.presetPicker(), cleanup.minimumSizePicker(),
                                           cleanup.cleanupMethodPicker(), review().header()->showPicker(),
                                           review().header()->sortPicker()};
    window->toolbar()->searchField()->setFocus();
    const auto preset = state->cleanupPreset();
    const auto minimum = state->minimumSizePreset();
    const auto method = state->cleanupAction();
    const auto filter = state->reviewFilter();
    const auto sort = state->sortMode();
    QScrollBar &sidebarScroll = *sidebar.scrollArea()->verticalScrollBar();
    ASSERT_GT(sidebarScroll.maximum(), 0) << "the unfolded sidebar must be taller than the window";
    for (QComboBox *picker : pickers) {
        EXPECT_NE(picker->focusPolicy(), Qt::WheelFocus) << picker->accessibleName().toStdString();
        const int index = picker->currentIndex();
        for (int notches : {-1, -1, 1, -2}) {
            wheel(picker, notches);
        }
        EXPECT_EQ(picker->currentIndex(), index) << picker->accessibleName().toStdString();
        EXPECT_FALSE(picker->hasFocus());
    }
    EXPECT_EQ(state->cleanupPreset(), preset);
    EXPECT_EQ(state->minimumSizePreset(), minimum);
    EXPECT_EQ(state->cleanupAction(), method);
    EXPECT_EQ(state->reviewFilter(), filter);
    EXPECT_EQ(state->sortMode(), sort);

    // The notches over the sidebar's pickers scrolled the sidebar instead.
    sidebarScroll.setValue(0);
    wheel(cleanup.presetPicker(), -1);
    EXPECT_GT(sidebarScroll.value(), 0);

    // Given focus, a picker takes the wheel as usual.
    cleanup.minimumSizePicker()->setFocus();
    const int before = cleanup.minimumSizePicker()->currentIndex();
    wheel(cleanup.minimumSizePicker(), -1);
    EXPECT_NE(cleanup.minimumSizePicker()->currentIndex(), before);
}

// Every button of the sidebar, the toolbar, the header and the inspector, pressed through the
// widget as a click would; run under the sanitizers, this is what catches a broken connection.
TEST_F(InputSafety, EveryButtonAnswersAClick)
{
    scanProjects();
    SidebarView &sidebar = *window->sidebar();
    for (QToolButton *tool : sidebar.maintenanceButtons()) {
        QTest::mouseClick(tool, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return state->maintenanceReport().has_value(); }, 20000))
            << tool->text().toStdString();
        state->dismissMaintenanceReport();
        settle();
    }
    shell.nextChosenFolders = {tree.folder("more")};
    QTest::mouseClick(sidebar.chooseFolderButton(), Qt::LeftButton);
    EXPECT_EQ(state->roots().size(), 2u);
    QTest::mouseClick(sidebar.rootRows().back()->button(), Qt::LeftButton);
    settle();
    EXPECT_EQ(state->roots().size(), 1u);
    for (QAction *item : sidebar.standardFolderButton()->menu()->actions()) {
        item->trigger();
        state->dismissStandardFolderNotice();
    }
    settle();
    QTest::mouseClick(sidebar.gettingStartedButton(), Qt::LeftButton);
    EXPECT_TRUE(state->isOnboardingPresented());
    state->setIsOnboardingPresented(false);
    settle();

    MainToolbar &toolbar = *window->toolbar();
    shell.nextChosenFolders = {};
    QTest::mouseClick(toolbar.widgetForAction(toolbar.chooseFolderAction()), Qt::LeftButton);
    QTest::mouseClick(toolbar.widgetForAction(toolbar.scanAction()), Qt::LeftButton);
    EXPECT_TRUE(state->isScanning());
    waitWhileBusy();

    ReviewHeader &header = *review().header();
    QTest::mouseClick(header.clearSelectionButton(), Qt::LeftButton);
    EXPECT_TRUE(state->selectedCandidateIDs().empty());
    QTest::mouseClick(header.selectAllButton(), Qt::LeftButton);
    EXPECT_EQ(state->selectedCandidateIDs().size(), state->candidates().size());

    state->setFocusedCandidateID(tree.path("code/py/.mypy_cache"));
    settle();
    CandidateInspector &inspector = *review().inspector();
    inspector.refreshNow();
    QTest::mouseClick(inspector.revealButton(), Qt::LeftButton);
    EXPECT_EQ(shell.revealed, std::vector<std::string>{tree.path("code/py/.mypy_cache")});
    QTest::mouseClick(inspector.copyPathButton(), Qt::LeftButton);
    EXPECT_EQ(shell.clipboard, tree.path("code/py/.mypy_cache"));
    QCheckBox &include = *inspector.includeCheckBox();
    QTest::mouseClick(&include, Qt::LeftButton, {}, QPoint(8, include.height() / 2));
    EXPECT_FALSE(state->selectedCandidateIDs().contains(tree.path("code/py/.mypy_cache")));
    QTest::mouseClick(inspector.keepButton(), Qt::LeftButton);
    EXPECT_EQ(state->excludedPaths().count(tree.path("code/py/.mypy_cache")), 1u);

    QTest::mouseClick(header.cleanButton(), Qt::LeftButton);
    EXPECT_TRUE(state->isDeleteConfirmationPresented());
    state->dismissDeleteConfirmation();
    settle();
}

// What a screen reader hears, read through the accessibility tree: every button has a name, and
// one that shows only a symbol also explains itself on hover.
TEST_F(InputSafety, EveryButtonIsNamedAndIconOnlyOnesExplainThemselves)
{
    scanProjects();
    state->exclude(*state->focusedCandidate());
    settle();
    int iconOnly = 0;
    std::vector<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(window.get())};
    while (!pending.empty()) {
        QAccessibleInterface *node = pending.back();
        pending.pop_back();
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *child = node->child(i)) {
                pending.push_back(child);
            }
        }
        auto *button = qobject_cast<QAbstractButton *>(node->object());
        if (button == nullptr || !button->isVisibleTo(window.get()) || node->role() == QAccessible::CheckBox) {
            continue;
        }
        const QString name = node->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty())
            << button->metaObject()->className() << " " << button->toolTip().toStdString();
        // A disclosure's chevron is titled by the label beside it, which a click also toggles.
        if (button->text().isEmpty() && qobject_cast<DisclosureHeader *>(button->parentWidget()) == nullptr) {
            ++iconOnly;
            EXPECT_FALSE(button->toolTip().isEmpty()) << name.toStdString();
        }
    }
    // The remove buttons of the folder and the kept path, and the info buttons of the settings.
    EXPECT_GE(iconOnly, 4);
}

// Tab goes from the header's controls to the list, then the inspector; in the list the arrow keys
// move the focus and Space includes or leaves out the focused folder.
TEST_F(InputSafety, TheListAndItsInspectorWorkFromTheKeyboard)
{
    scanProjects();
    ReviewHeader &header = *review().header();
    CandidateInspector &inspector = *review().inspector();
    header.clearSelectionButton()->setFocus();
    std::vector<QWidget *> visited;
    for (int step = 0; step < 40 && visited.size() < 40; ++step) {
        QWidget *focus = QApplication::focusWidget();
        if (focus == inspector.keepButton()) {
            break;
        }
        QTest::keyClick(focus, Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    const auto position = [&](const QWidget *widget) {
        return std::find(visited.begin(), visited.end(), widget) - visited.begin();
    };
    ASSERT_LT(position(&list()), static_cast<long>(visited.size())) << "Tab never reached the list";
    EXPECT_LT(position(&list()), position(inspector.includeCheckBox()));
    EXPECT_LT(position(inspector.includeCheckBox()), position(inspector.revealButton()));
    EXPECT_LT(position(inspector.revealButton()), position(inspector.keepButton()));

    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Home);
    QTest::keyClick(&list(), Qt::Key_Down);
    const std::string second = model().candidate(1)->id;
    EXPECT_EQ(state->focusedCandidate()->id, second);
    EXPECT_TRUE(state->selectedCandidateIDs().contains(second)) << "moving the focus leaves the selection";
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_FALSE(state->selectedCandidateIDs().contains(second));
    QTest::keyClick(&list(), Qt::Key_Space);
    EXPECT_TRUE(state->selectedCandidateIDs().contains(second));
}

// "2 hours ago" moves on with the clock even when nothing else changes.
TEST_F(InputSafety, RelativeDatesMoveOnWithTime)
{
    scanProjects();
    state->setFocusedCandidateID(tree.path("code/tool/.tox"));
    settle();
    review().inspector()->refreshNow();
    const int row = model().row(tree.path("code/tool/.tox"));
    const QModelIndex modified = model().index(row, CandidateTableModel::modifiedColumn);
    EXPECT_EQ(modified.data().toString(), "yesterday");
    EXPECT_EQ(review().inspector()->modifiedLabel()->text(), "yesterday");
    QSignalSpy repaint(&model(), &QAbstractItemModel::dataChanged);
    ui::RelativeDateClock::shared().advance(std::chrono::hours(24 * 9));
    EXPECT_EQ(repaint.count(), 1);
    EXPECT_EQ(modified.data().toString(), "last week");
    EXPECT_EQ(review().inspector()->modifiedLabel()->text(), "last week");
    ui::RelativeDateClock::shared().advance(-std::chrono::hours(24 * 9));
}

}  // namespace
}  // namespace tarnwick
