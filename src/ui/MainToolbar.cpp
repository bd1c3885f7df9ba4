#include "ui/MainToolbar.h"

#include "app/AppState.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"

#include <QAction>
#include <QLineEdit>

namespace tarnwick {

MainToolbar::MainToolbar(AppState &state, DesktopShell &shell, QWidget *parent)
    : QToolBar(QStringLiteral("Toolbar"), parent),
      m_state(state),
      m_chooseFolder(addAction(ui::symbolIcon("folder.badge.plus"), QStringLiteral("Choose Folder"))),
      m_scan(addAction(ui::symbolIcon("arrow.clockwise"), QStringLiteral("Scan"))),
      m_cancelScan(addAction(ui::symbolIcon("xmark.circle"), QStringLiteral("Cancel Scan"))),
      m_search(new QLineEdit(this))
{
    setObjectName(QStringLiteral("mainToolbar"));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(18, 18));
    toggleViewAction()->setVisible(false);

    m_chooseFolder->setToolTip(QStringLiteral("Choose a folder to scan."));
    // The Ctrl+R shortcut belongs to the Actions menu's "Scan"; two actions holding one shortcut
    // would make it ambiguous and neither would fire.
    m_scan->setToolTip(QStringLiteral("Find cleanup folders in the selected folders."));
    m_cancelScan->setToolTip(QStringLiteral("Stop the current scan."));
    connect(m_chooseFolder, &QAction::triggered, this, [this, &shell] { ui::chooseFoldersToScan(m_state, shell); });
    connect(m_scan, &QAction::triggered, this, [this] { m_state.scan(); });
    connect(m_cancelScan, &QAction::triggered, this, [this] { m_state.cancelScan(); });

    auto *spacer = new QWidget(this);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spacer);
    m_search->setPlaceholderText(QStringLiteral("Filter results"));
    m_search->setAccessibleName(QStringLiteral("Filter results"));
    m_search->setClearButtonEnabled(true);
    // The field's symbols are buttons to assistive technology: they get names like any other.
    if (auto *clear = m_search->findChild<QAction *>(QStringLiteral("_q_qlineeditclearaction"))) {
        clear->setText(QStringLiteral("Clear Filter"));
        clear->setToolTip(QStringLiteral("Clear Filter"));
    }
    QAction *magnifier = m_search->addAction(ui::symbolIcon("magnifyingglass"), QLineEdit::LeadingPosition);
    magnifier->setText(QStringLiteral("Filter results"));
    magnifier->setToolTip(QStringLiteral("Filter results"));
    m_search->setFixedWidth(260);
    addWidget(m_search);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_showingState) {
            m_state.setSearchText(text.toStdString());
        }
    });

    ui::onBusyChanged(state, this, [this] { refresh(); });
    connect(&state, &AppState::rootsChanged, this, &MainToolbar::refresh);
    connect(&state, &AppState::searchTextChanged, this, &MainToolbar::showSearchText);
    refresh();
    showSearchText();
}

void MainToolbar::refresh()
{
    const bool busy = ui::isBusy(m_state);
    m_chooseFolder->setEnabled(!busy);
    m_scan->setVisible(!m_state.isScanning());
    m_scan->setEnabled(!busy && !m_state.roots().empty());
    m_cancelScan->setVisible(m_state.isScanning());
}

// The list can clear the search itself ("Show All Results"); the field follows without echoing
// the change back. Its signals are not blocked for that: the field's own clear button listens to
// them too and would stay behind on an empty field.
void MainToolbar::showSearchText()
{
    const QString text = QString::fromStdString(m_state.searchText());
    if (m_search->text() != text) {
        m_showingState = true;
        m_search->setText(text);
        m_showingState = false;
    }
}

}  // namespace tarnwick
