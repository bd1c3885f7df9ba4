#include "ui/EmptyReviewView.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "ui/DeferredRefresh.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

EmptyReviewView::EmptyReviewView(AppState &state, DesktopShell &shell, QWidget *parent)
    : QWidget(parent), m_state(state), m_shell(shell), m_refresh(new DeferredRefresh(this, [this] { refresh(); })),
      m_symbol(new QLabel(this)), m_title(new QLabel(this)), m_message(new QLabel(this)),
      m_action(new QPushButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(10);
    layout->addStretch();
    m_symbol->setAlignment(Qt::AlignCenter);
    ui::style(m_title, ui::TextStyle::title3);
    QFont titleFont = m_title->font();
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    ui::style(m_message, ui::TextStyle::body, true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMaximumWidth(480);
    layout->addWidget(m_symbol);
    layout->addWidget(m_title);
    // Centred by stretches rather than by alignment, which would ignore the height the wrapped
    // text needs.
    auto *message = new QHBoxLayout;
    message->addStretch();
    message->addWidget(m_message, 1);
    message->addStretch();
    layout->addLayout(message);
    layout->addSpacing(6);
    ui::setProminent(m_action, ui::accentColor(QApplication::palette()));
    layout->addWidget(m_action, 0, Qt::AlignHCenter);
    layout->addStretch();

    connect(m_action, &QPushButton::clicked, this, [this] {
        if (m_state.roots().empty()) {
            ui::chooseFoldersToScan(m_state, m_shell);
        } else {
            m_state.scan();
        }
    });
    m_refresh->watch(&state, &AppState::isScanningChanged, &AppState::isDeletingChanged,
                     &AppState::statusMessageChanged, &AppState::lastOutcomeChanged, &AppState::rootsChanged);
    refresh();
}

QString EmptyReviewView::titleText() const
{
    return m_title->text();
}

QString EmptyReviewView::messageText() const
{
    return m_message->isHidden() ? QString() : m_message->text().remove(QChar(0x200B));
}

void EmptyReviewView::refreshNow()
{
    m_refresh->now();
}

void EmptyReviewView::refresh()
{
    const RunOutcome outcome = m_state.lastOutcome();
    const bool noRoots = m_state.roots().empty();
    const char *symbol = "folder";
    QString title;
    QString message;
    if (m_state.isScanning()) {
        symbol = "magnifyingglass";
        title = QStringLiteral("Scanning...");
    } else if (outcome == RunOutcome::cleanupDone) {
        symbol = "checkmark.circle";
        title = QStringLiteral("Cleanup Complete");
        message = QString::fromStdString(m_state.statusMessage());
    } else if (outcome == RunOutcome::scanFoundNothing) {
        symbol = "checkmark.shield";
        title = QStringLiteral("Nothing to Clean");
        message = QString::fromStdString(m_state.statusMessage());
    } else if (noRoots) {
        title = QStringLiteral("Choose a Folder");
        message = QStringLiteral("Choose the folder where you keep your projects. Tarnwick only scans folders you "
                                 "choose.");
    } else {
        title = QStringLiteral("Ready to Scan");
        QStringList roots;
        for (const auto &root : m_state.roots()) {
            roots << ui::displayPath(m_state.abbreviatingHome(root));
        }
        message = roots.join(QStringLiteral(", "));
        // Paths have few spaces to break at: let them break after any separator.
        message.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    }
    m_symbol->setPixmap(ui::symbolIcon(symbol, ui::secondaryTextColor(palette())).pixmap(48, 48));
    m_title->setText(title);
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    m_action->setText(noRoots ? QStringLiteral("Choose Folder") : QStringLiteral("Scan"));
    m_action->setIcon(ui::symbolIcon(noRoots ? "folder.badge.plus" : "arrow.clockwise", Qt::white));
    m_action->setEnabled(!ui::isBusy(m_state));
}

}  // namespace tarnwick
