#include "ui/SidebarRows.h"

#include "app/DesktopShell.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/CleanupAction.h"
#include "ui/ElidedLabel.h"
#include "ui/RelativeDateClock.h"
#include "ui/RelativeDateText.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QLabel *symbolLabel(const char *symbol, const QColor &tint, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(ui::symbolIcon(symbol, tint).pixmap(16, 16));
    label->setFixedSize(18, 18);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

PathRow::PathRow(const std::string &path, const std::string &shownPath, const char *symbol, const char *buttonSymbol,
                 const QString &buttonHelp, DesktopShell &shell, QWidget *parent)
    : QWidget(parent), m_path(path), m_shell(shell), m_label(new ElidedLabel(Qt::ElideMiddle, this)),
      m_button(new QToolButton(this))
{
    m_label->setFullText(ui::displayPath(shownPath));
    m_label->setToolTip(ui::displayPath(path));
    m_button->setAutoRaise(true);
    m_button->setIcon(ui::symbolIcon(buttonSymbol, ui::secondaryTextColor(palette())));
    m_button->setIconSize(QSize(15, 15));
    m_button->setToolTip(buttonHelp);
    m_button->setAccessibleName(buttonHelp);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 0, 1);
    layout->setSpacing(6);
    layout->addWidget(symbolLabel(symbol, ui::secondaryTextColor(palette()), this));
    layout->addWidget(m_label, 1);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, [this] { emit buttonClicked(m_path); });
}

QString PathRow::shownText() const
{
    return m_label->fullText();
}

void PathRow::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("Show in File Manager"), this, [this] { m_shell.revealInFileManager(m_path); });
    menu.addAction(QStringLiteral("Copy Path"), this, [this] { m_shell.copyToClipboard(m_path); });
    menu.exec(event->globalPos());
}

RootRow::RootRow(const std::string &path, const std::string &shownPath, DesktopShell &shell, QWidget *parent)
    : PathRow(path, shownPath, "folder", "minus.circle", QStringLiteral("Remove this folder from the scan list"),
              shell, parent)
{
}

ExclusionRow::ExclusionRow(const std::string &path, const std::string &shownPath, DesktopShell &shell,
                           QWidget *parent)
    : PathRow(path, shownPath, "hand.raised", "xmark.circle", QStringLiteral("Remove from Always Keep."), shell, parent)
{
}

HistoryRow::HistoryRow(const CleanupHistoryEntry &entry, QWidget *parent)
    : QWidget(parent), m_date(entry.date), m_size(ui::sizeText(entry.bytes)),
      m_title(new ElidedLabel(Qt::ElideRight, this)), m_subtitle(new ElidedLabel(Qt::ElideRight, this))
{
    const bool permanent = entry.actionRawValue == rawValue(CleanupAction::deletePermanently);
    const std::string what = entry.folderSummary.empty() ? countPhrase(entry.folderCount) : entry.folderSummary;
    QString help = ui::qstring(what) + QStringLiteral(", ") + m_size;
    if (entry.failureCount > 0) {
        help += QStringLiteral(", %1 failed").arg(entry.failureCount);
    }
    if (entry.cancelled) {
        help += QStringLiteral(", cancelled");
    }

    m_title->setFullText(ui::qstring(what));
    ui::style(m_subtitle, ui::TextStyle::caption, true);
    showDate();
    // The labels would show their own text as hover help; the row's says more.
    for (QWidget *part : std::initializer_list<QWidget *>{this, m_title, m_subtitle}) {
        part->setToolTip(help);
    }
    connect(&ui::RelativeDateClock::shared(), &ui::RelativeDateClock::ticked, this, &HistoryRow::showDate);

    auto *text = new QVBoxLayout;
    text->setSpacing(0);
    text->addWidget(m_title);
    text->addWidget(m_subtitle);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 0, 2);
    layout->setSpacing(6);
    layout->addWidget(symbolLabel(permanent ? "trash.slash" : "trash", ui::secondaryTextColor(palette()), this),
                      0, Qt::AlignTop);
    layout->addLayout(text, 1);
}

void HistoryRow::showDate()
{
    const QString tooltip = m_subtitle->toolTip();
    m_subtitle->setFullText(m_size + QStringLiteral(" - ") +
                            ui::relativeDateText(m_date, ui::RelativeDateClock::shared().now()));
    m_subtitle->setToolTip(tooltip.isEmpty() ? m_subtitle->fullText() : tooltip);
}

QString HistoryRow::title() const
{
    return m_title->fullText();
}

QString HistoryRow::subtitle() const
{
    return m_subtitle->fullText();
}

}  // namespace tarnwick
