#include "ui/SidebarView.h"

#include "app/AppState.h"
#include "ui/BrandMark.h"
#include "ui/CleanupSettingsSection.h"
#include "ui/DisclosureHeader.h"
#include "ui/SidebarRows.h"
#include "ui/StateBindings.h"
#include "ui/StatsSummaryView.h"
#include "ui/SuperCleanSidebarCard.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

constexpr std::size_t kRecentLimit = 3;

// A section of the list: an optional small title above its content.
QWidget *section(const QString &title, QWidget *content, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    if (!title.isEmpty()) {
        auto *label = new QLabel(title, box);
        ui::style(label, ui::TextStyle::caption, true);
        QFont font = label->font();
        font.setWeight(QFont::DemiBold);
        label->setFont(font);
        layout->addWidget(label);
    }
    layout->addWidget(content);
    return box;
}

// A borderless sidebar command: symbol and title, left-aligned.
// (A tool button's style draws icon and title from the left edge, however wide it is.)
QToolButton *sidebarButton(const char *symbol, const QString &title, const QString &help, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(ui::symbolIcon(symbol));
    button->setText(title);
    button->setToolTip(help);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(16, 16));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QVBoxLayout *listLayout(QWidget *owner)
{
    auto *layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return layout;
}

// Deletes the rows a list shows and forgets them.
template <typename Row>
void clearRows(std::vector<Row *> &rows)
{
    for (Row *row : rows) {
        delete row;
    }
    rows.clear();
}

}  // namespace

SidebarView::SidebarView(AppState &state, DesktopShell &shell, QWidget *parent)
    : QWidget(parent), m_state(state), m_shell(shell), m_scroll(new QScrollArea(this))
{
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(14, 14, 14, 18);
    layout->setSpacing(18);

    m_superClean = new SuperCleanSidebarCard(state, content);
    connect(m_superClean, &SuperCleanSidebarCard::analyzeRequested, this, &SidebarView::superCleanRequested);
    m_stats = new StatsSummaryView(state, content);
    m_cleanup = new CleanupSettingsSection(state, content);
    connect(m_cleanup->advancedHeader(), &DisclosureHeader::toggleRequested, this,
            [this] { setAdvancedExpanded(!m_advancedExpanded); });

    auto *keptList = new QWidget(content);
    m_exclusionList = listLayout(keptList);
    m_alwaysKeep = section(QStringLiteral("Always Keep"), keptList, content);
    auto *recentList = new QWidget(content);
    m_historyList = listLayout(recentList);
    m_recent = section(QStringLiteral("Recent"), recentList, content);
    m_gettingStarted = sidebarButton("questionmark.circle", QStringLiteral("Getting Started"),
                                     QStringLiteral("Show the quick start guide."), content);
    connect(m_gettingStarted, &QToolButton::clicked, this, [this] { m_state.setIsOnboardingPresented(true); });

    layout->addWidget(buildHeader());
    layout->addWidget(m_superClean);
    layout->addWidget(section(QStringLiteral("Stats"), m_stats, content));
    layout->addWidget(buildFolders());
    layout->addWidget(section(QStringLiteral("Cleanup"), m_cleanup, content));
    layout->addWidget(section(QStringLiteral("Maintenance"), buildMaintenance(), content));
    layout->addWidget(m_alwaysKeep);
    layout->addWidget(m_recent);
    layout->addWidget(m_gettingStarted);
    layout->addStretch();
    // The list is as tall as its sections need and scrolls; the viewport never squeezes them.
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);

    connect(&state, &AppState::statusMessageChanged, this, &SidebarView::showStatus);
    connect(&state, &AppState::rootsChanged, this, &SidebarView::showRoots);
    connect(&state, &AppState::excludedPathsChanged, this, &SidebarView::showExclusions);
    connect(&state, &AppState::cleanupHistoryChanged, this, &SidebarView::showHistory);
    connect(&state, &AppState::isSuperCleanPresentedChanged, this, &SidebarView::refreshEnablement);
    ui::onBusyChanged(state, this, [this] { refreshEnablement(); });
    showStatus();
    showRoots();
    showExclusions();
    showHistory();
    setRootsExpanded(true);
    setAdvancedExpanded(false);
    refreshEnablement();
}

QWidget *SidebarView::buildHeader()
{
    auto *header = new QWidget;
    auto *name = new QLabel(QStringLiteral("Tarnwick"), header);
    ui::style(name, ui::TextStyle::title);
    auto *tagline = new QLabel(QStringLiteral("Clean project folders safely"), header);
    ui::style(tagline, ui::TextStyle::caption, true);
    m_status = new QLabel(header);
    ui::style(m_status, ui::TextStyle::caption, true);
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    // Two lines at most: a long message must not push the rest of the sidebar around.
    m_status->setMaximumHeight(m_status->fontMetrics().lineSpacing() * 2 + 2);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(0);
    titles->addWidget(name);
    titles->addWidget(tagline);
    auto *brandRow = new QHBoxLayout;
    brandRow->setSpacing(10);
    brandRow->addWidget(new BrandMark(34, header));
    brandRow->addLayout(titles, 1);
    auto *layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(brandRow);
    layout->addWidget(m_status);
    return header;
}

QWidget *SidebarView::buildFolders()
{
    auto *box = new QWidget;
    m_rootsHeader = new DisclosureHeader("folder", QStringLiteral("Folders"), box);
    connect(m_rootsHeader, &DisclosureHeader::toggleRequested, this, [this] { setRootsExpanded(!m_rootsExpanded); });
    m_rootsContent = new QWidget(box);
    auto *rootList = new QWidget(m_rootsContent);
    m_rootList = listLayout(rootList);

    m_chooseFolder = sidebarButton("plus", QStringLiteral("Choose Folder"), QStringLiteral("Choose a folder to scan."),
                                   m_rootsContent);
    connect(m_chooseFolder, &QToolButton::clicked, this, [this] { ui::chooseFoldersToScan(m_state, m_shell); });
    m_standardFolders = new QToolButton(m_rootsContent);
    m_standardFolders->setText(QStringLiteral("Add Standard Folder"));
    m_standardFolders->setIcon(ui::symbolIcon("plus.circle"));
    m_standardFolders->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_standardFolders->setAutoRaise(true);
    m_standardFolders->setIconSize(QSize(16, 16));
    // The button opens its menu on a click; the style's little arrow under the title only clutters.
    m_standardFolders->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    m_standardFolders->setPopupMode(QToolButton::InstantPopup);
    m_standardFolders->setToolTip(QStringLiteral("Add common developer folders without browsing for them manually."));
    auto *menu = new QMenu(m_standardFolders);
    menu->addAction(ui::symbolIcon("folder"), QStringLiteral("Project Folders"), this, [this] { m_state.addProjectRoots(); });
    menu->addAction(ui::symbolIcon("hammer"), QStringLiteral("Xcode Folder"), this, [this] { m_state.addXcodeRoot(); });
    menu->addAction(ui::symbolIcon("shippingbox"), QStringLiteral("Package Caches"), this,
                    [this] { m_state.addPackageCacheRoots(); });
    menu->addAction(ui::symbolIcon("terminal"), QStringLiteral("Homebrew Folders"), this,
                    [this] { m_state.addHomebrewRoots(); });
    menu->addAction(ui::symbolIcon("cube.box"), QStringLiteral("Docker and Colima"), this,
                    [this] { m_state.addDockerRoots(); });
    menu->addSeparator();
    menu->addAction(ui::symbolIcon("sparkles"), QStringLiteral("Recommended Folders"), this,
                    [this] { m_state.addRecommendedRoots(); });
    m_standardFolders->setMenu(menu);

    auto *contentLayout = new QVBoxLayout(m_rootsContent);
    contentLayout->setContentsMargins(8, 0, 0, 0);
    contentLayout->setSpacing(2);
    contentLayout->addWidget(rootList);
    contentLayout->addWidget(m_chooseFolder);
    contentLayout->addWidget(m_standardFolders, 0, Qt::AlignLeft);

    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_rootsHeader);
    layout->addWidget(m_rootsContent);
    return box;
}

QWidget *SidebarView::buildMaintenance()
{
    auto *box = new QWidget;
    auto *layout = listLayout(box);
    // Each button gets its own small lambda: GCC 12's UndefinedBehaviorSanitizer misreads a
    // captured pointer to member function and aborts the click with a stack-buffer-underflow.
    const auto add = [&](const char *symbol, const char *title, const char *help, auto preview) {
        auto *button = sidebarButton(symbol, QString::fromLatin1(title), QString::fromLatin1(help), box);
        connect(button, &QToolButton::clicked, this, preview);
        layout->addWidget(button);
        m_maintenance.push_back(button);
    };
    add("terminal", "Homebrew Cleanup", "Preview what Homebrew cleanup would remove before running it.",
        [this] { m_state.previewHomebrewCleanup(); });
    add("iphone", "Unavailable Simulators", "List simulator devices that Xcode reports as unavailable.",
        [this] { m_state.previewUnavailableSimulators(); });
    add("cube.box", "Docker Usage", "Show Docker disk usage without removing images, containers, or volumes.",
        [this] { m_state.previewDockerUsage(); });
    add("server.rack", "Colima Profiles", "Show Colima profiles without removing local VM data.",
        [this] { m_state.previewColimaUsage(); });
    return box;
}

void SidebarView::setRootsExpanded(bool expanded)
{
    m_rootsExpanded = expanded;
    m_rootsHeader->setExpanded(expanded);
    m_rootsContent->setVisible(expanded);
}

void SidebarView::setAdvancedExpanded(bool expanded)
{
    m_advancedExpanded = expanded;
    m_cleanup->setAdvancedVisible(expanded);
}

void SidebarView::showStatus()
{
    m_status->setText(ui::qstring(m_state.statusMessage()));
    m_status->setToolTip(m_status->text());
}

void SidebarView::showRoots()
{
    clearRows(m_rootRows);
    for (const std::string &root : m_state.roots()) {
        auto *row = new RootRow(root, m_state.abbreviatingHome(root), m_shell);
        connect(row, &PathRow::buttonClicked, this, [this](const std::string &path) { m_state.removeRoot(path); });
        row->button()->setEnabled(!ui::isBusy(m_state));
        m_rootList->addWidget(row);
        row->show();
        m_rootRows.push_back(row);
    }
}

void SidebarView::showExclusions()
{
    clearRows(m_exclusionRows);
    for (const std::string &path : m_state.excludedPaths()) {
        auto *row = new ExclusionRow(path, m_state.abbreviatingHome(path), m_shell);
        connect(row, &PathRow::buttonClicked, this,
                [this](const std::string &kept) { m_state.removeExcludedPath(kept); });
        m_exclusionList->addWidget(row);
        row->show();
        m_exclusionRows.push_back(row);
    }
    m_alwaysKeep->setVisible(!m_exclusionRows.empty());
}

void SidebarView::showHistory()
{
    clearRows(m_historyRows);
    const auto &history = m_state.cleanupHistory();
    for (std::size_t i = 0; i < std::min(history.size(), kRecentLimit); ++i) {
        auto *row = new HistoryRow(history[i]);
        m_historyList->addWidget(row);
        row->show();
        m_historyRows.push_back(row);
    }
    m_recent->setVisible(!m_historyRows.empty());
}

void SidebarView::refreshEnablement()
{
    const bool busy = ui::isBusy(m_state);
    m_chooseFolder->setEnabled(!busy);
    m_standardFolders->setEnabled(!busy);
    m_gettingStarted->setEnabled(!busy);
    for (RootRow *row : m_rootRows) {
        row->button()->setEnabled(!busy);
    }
    for (QToolButton *button : m_maintenance) {
        button->setEnabled(!busy && !m_state.isSuperCleanPresented());
    }
}

}  // namespace tarnwick
