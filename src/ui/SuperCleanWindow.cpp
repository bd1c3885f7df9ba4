#include "ui/SuperCleanWindow.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "app/SuperCleanCoordinator.h"
#include "ui/DeferredRefresh.h"
#include "ui/DisplayText.h"
#include "ui/ElidedLabel.h"
#include "ui/SuperCleanCleaningStep.h"
#include "ui/SuperCleanCompletionStep.h"
#include "app/PutBackController.h"
#include "ui/SuperCleanConfirmationSheet.h"
#include "ui/SuperCleanProgressStep.h"
#include "ui/SuperCleanResultsStep.h"
#include "ui/SuperCleanScopeStep.h"
#include "ui/SuperCleanStyle.h"
#include "ui/SymbolIcons.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

enum StepIndex { scopeIndex, progressIndex, resultsIndex, cleaningIndex, completionIndex };

StepIndex stepFor(SuperCleanPhase phase)
{
    switch (phase) {
    case SuperCleanPhase::idle:
    case SuperCleanPhase::choosingScope:
        return scopeIndex;
    case SuperCleanPhase::scanning:
    case SuperCleanPhase::analyzing:
        return progressIndex;
    case SuperCleanPhase::reviewing:
    case SuperCleanPhase::confirming:
    case SuperCleanPhase::cancelled:
    case SuperCleanPhase::failed:
        return resultsIndex;
    case SuperCleanPhase::cleaning:
        return cleaningIndex;
    case SuperCleanPhase::completed:
        return completionIndex;
    }
    return scopeIndex;
}

// The header's mark: the sparkles symbol on a rounded square tinted with the accent colour.
class HeaderMark : public QWidget {
public:
    explicit HeaderMark(QWidget *parent) : QWidget(parent) { setFixedSize(40, 40); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor tint = ui::accentColor(palette());
        tint.setAlpha(ui::isDark(palette()) ? 70 : 40);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        painter.drawRoundedRect(rect(), 9, 9);
        ui::symbolIcon("sparkles", ui::accentColor(palette())).paint(&painter, rect().adjusted(9, 9, -9, -9));
    }
};

QPushButton *footerButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    // Return belongs to the phase's main action, never to whichever button has the focus.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

SuperCleanWindow::SuperCleanWindow(AppState &state, DesktopShell &shell, QWidget *parent)
    : QDialog(parent), m_state(state), m_shell(shell), m_coordinator(state.superCleanCoordinator())
{
    setWindowTitle(QStringLiteral("Super Clean"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(980, 700);

    m_steps = new QStackedWidget(this);
    m_scope = new SuperCleanScopeStep(m_coordinator, shell, m_steps);
    m_progress = new SuperCleanProgressStep(m_coordinator, m_steps);
    m_results = new SuperCleanResultsStep(state, shell, m_steps);
    m_cleaning = new SuperCleanCleaningStep(m_coordinator, m_steps);
    m_completion = new SuperCleanCompletionStep(m_coordinator, m_state.putBack(), m_steps);
    for (QWidget *step : {static_cast<QWidget *>(m_scope), static_cast<QWidget *>(m_progress),
                          static_cast<QWidget *>(m_results), static_cast<QWidget *>(m_cleaning),
                          static_cast<QWidget *>(m_completion)}) {
        m_steps->addWidget(step);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());
    layout->addWidget(ui::makeDivider(this));
    layout->addWidget(m_steps, 1);
    layout->addWidget(ui::makeDivider(this));
    layout->addWidget(makeFooter());

    connect(&m_coordinator, &SuperCleanCoordinator::phaseChanged, this, &SuperCleanWindow::refreshPhase);
    // A scan restates its count for every item it lists: the line is drawn once per burst then.
    m_statusRefresh = new DeferredRefresh(this, [this] { refreshStatus(); });
    connect(&m_coordinator, &SuperCleanCoordinator::statusMessageChanged, this, [this] {
        if (m_coordinator.isBusy()) {
            m_statusRefresh->schedule();
        } else {
            m_statusRefresh->now();
        }
    });
    connect(&m_coordinator, &SuperCleanCoordinator::selectedItemIDsChanged, this,
            &SuperCleanWindow::refreshMoveButton);
    connect(&m_coordinator, &SuperCleanCoordinator::isConfirmationPresentedChanged, this,
            &SuperCleanWindow::refreshConfirmation);
    refreshPhase();
    refreshStatus();
    refreshConfirmation();
}

QWidget *SuperCleanWindow::makeHeader()
{
    auto *header = new QWidget(this);
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(20, 14, 14, 14);
    layout->setSpacing(12);
    layout->addWidget(new HeaderMark(header));
    auto *titles = new QVBoxLayout;
    titles->setSpacing(1);
    titles->addWidget(ui::makeLabel(QStringLiteral("Super Clean"), ui::TextStyle::title, header));
    titles->addWidget(ui::makeLabel(
        QStringLiteral("Guided developer-storage analysis. Nothing is removed without review."), ui::TextStyle::body,
        header, true));
    layout->addLayout(titles, 1);
    auto *close = new QToolButton(header);
    close->setAutoRaise(true);
    close->setIcon(ui::symbolIcon("xmark", ui::secondaryTextColor(palette())));
    close->setIconSize(QSize(16, 16));
    close->setToolTip(QStringLiteral("Close Super Clean"));
    close->setAccessibleName(QStringLiteral("Close Super Clean"));
    // Escape reaches reject() through the dialog itself.
    connect(close, &QToolButton::clicked, this, &SuperCleanWindow::reject);
    layout->addWidget(close, 0, Qt::AlignTop);
    return header;
}

QWidget *SuperCleanWindow::makeFooter()
{
    auto *footer = new QWidget(this);
    footer->setObjectName(QStringLiteral("superCleanFooter"));
    auto *layout = new QHBoxLayout(footer);
    layout->setContentsMargins(20, 10, 16, 12);
    layout->setSpacing(8);
    m_status = new ElidedLabel(Qt::ElideRight, footer);
    ui::style(m_status, ui::TextStyle::caption, true);
    m_status->setObjectName(QStringLiteral("superCleanStatus"));
    layout->addWidget(m_status, 1);

    m_cancel = footerButton(QStringLiteral("Cancel"), footer);
    m_analyze = footerButton(QStringLiteral("Analyze Developer Storage"), footer);
    m_analyze->setIcon(ui::symbolIcon("magnifyingglass"));
    m_cancelScan = footerButton(QStringLiteral("Cancel Scan"), footer);
    m_done = footerButton(QStringLiteral("Done"), footer);
    m_move = footerButton(QStringLiteral("Move Selected to Trash"), footer);
    m_move->setIcon(ui::symbolIcon("trash"));
    m_cancelCleaning = footerButton(QStringLiteral("Cancel After Current Item"), footer);
    m_putBack = footerButton(QStringLiteral("Put Back"), footer);
    m_putBack->setToolTip(QStringLiteral("Move the folders of this cleanup from the Trash to where they were"));
    m_openTrash = footerButton(QStringLiteral("Open Trash"), footer);
    m_finish = footerButton(QStringLiteral("Done"), footer);
    for (QPushButton *prominent : {m_analyze, m_move, m_finish}) {
        ui::makeProminent(prominent);
    }
    for (QPushButton *button :
         {m_cancel, m_analyze, m_cancelScan, m_done, m_move, m_cancelCleaning, m_putBack, m_openTrash, m_finish}) {
        layout->addWidget(button);
    }

    connect(m_cancel, &QPushButton::clicked, this, &SuperCleanWindow::reject);
    connect(m_analyze, &QPushButton::clicked, &m_coordinator, &SuperCleanCoordinator::startScan);
    connect(m_cancelScan, &QPushButton::clicked, &m_coordinator, &SuperCleanCoordinator::cancel);
    connect(m_done, &QPushButton::clicked, this, &SuperCleanWindow::reject);
    connect(m_move, &QPushButton::clicked, this, &SuperCleanWindow::moveSelectedToTrash);
    connect(m_cancelCleaning, &QPushButton::clicked, &m_coordinator, &SuperCleanCoordinator::cancel);
    connect(m_putBack, &QPushButton::clicked, this, [this] { m_state.putBackLastCleanup(); });
    connect(&m_state.putBack(), &PutBackController::canPutBackLastCleanupChanged, this,
            &SuperCleanWindow::refreshPutBackButton);
    connect(m_openTrash, &QPushButton::clicked, this, [this] { m_shell.openTrash(); });
    connect(m_finish, &QPushButton::clicked, this, &SuperCleanWindow::reject);
    return footer;
}

SuperCleanConfirmationSheet *SuperCleanWindow::confirmationSheet() const
{
    return m_sheet;
}

bool SuperCleanWindow::showsResults() const
{
    return stepFor(m_coordinator.phase()) == resultsIndex;
}

void SuperCleanWindow::refreshPhase()
{
    const StepIndex step = stepFor(m_coordinator.phase());
    m_steps->setCurrentIndex(step);
    const auto show = [](std::initializer_list<QPushButton *> buttons, bool shown) {
        for (QPushButton *button : buttons) {
            button->setVisible(shown);
        }
    };
    show({m_cancel, m_analyze}, step == scopeIndex);
    show({m_cancelScan}, step == progressIndex);
    show({m_done, m_move}, step == resultsIndex);
    show({m_cancelCleaning}, step == cleaningIndex);
    show({m_putBack, m_openTrash, m_finish}, step == completionIndex);
    const std::pair<StepIndex, QPushButton *> mainActions[] = {
        {scopeIndex, m_analyze}, {resultsIndex, m_move}, {completionIndex, m_finish}};
    for (const auto &[index, button] : mainActions) {
        button->setDefault(index == step);
    }
    refreshMoveButton();
    refreshPutBackButton();
}

void SuperCleanWindow::refreshPutBackButton()
{
    m_putBack->setEnabled(m_state.putBack().canPutBackLastCleanup());
}

void SuperCleanWindow::refreshStatus()
{
    m_status->setFullText(ui::qstring(m_coordinator.statusMessage()));
}

void SuperCleanWindow::refreshMoveButton()
{
    m_move->setEnabled(!m_coordinator.isBusy() && !m_coordinator.selectedItemIDs().empty());
}

void SuperCleanWindow::refreshConfirmation()
{
    if (m_coordinator.isConfirmationPresented() && !m_sheet) {
        m_sheet = new SuperCleanConfirmationSheet(m_coordinator, this);
        m_sheet->open();
    } else if (!m_coordinator.isConfirmationPresented() && m_sheet) {
        m_sheet->hide();
        // Later: the sheet may be inside one of its own button handlers.
        m_sheet->deleteLater();
        m_sheet = nullptr;
    }
}

void SuperCleanWindow::moveSelectedToTrash()
{
    if (m_coordinator.isBusy()) {
        return;
    }
    if (!m_coordinator.selectedItemIDs().empty()) {
        m_coordinator.setConfirmationPresented(true);
        return;
    }
    // With nothing selected the coordinator refuses to clean, and its refusal is exactly the line
    // the user needs: "Select at least one item first."
    m_coordinator.cleanSelected();
}

void SuperCleanWindow::keyPressEvent(QKeyEvent *event)
{
    // The disabled move button cannot take Return; Return still answers, with why nothing happens.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && showsResults() && !m_move->isEnabled()) {
        moveSelectedToTrash();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SuperCleanWindow::reject()
{
    m_state.closeSuperClean();
    QDialog::reject();
}

}  // namespace tarnwick
