#include "ui/SidebarRows.h"

#include "app/DesktopShell.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "engine/CleanupAction.h"
#include "ui/ElidedLabel.h"
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

PathRow::PathRow(const std::string &path, const char *symbol, const char *buttonSymbol, const QString &buttonHelp,
                 DesktopShell &shell, QWidget *parent)
    : QWidget(parent), m_path(path), m_shell(shell), m_label(new ElidedLabel(Qt::ElideMiddle, this)),
      m_button(new QToolButton(this))
{
    m_label->setFullText(ui::displayPath(path));
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

RootRow::RootRow(const std::string &path, DesktopShell &shell, QWidget *parent)
    : PathRow(path, "folder", "minus.circle", QStringLiteral("Remove this folder from the scan list"), shell, parent)
{
}

ExclusionRow::ExclusionRow(const std::string &path, DesktopShell &shell, QWidget *parent)
    : PathRow(path, "hand.raised", "xmark.circle", QStringLiteral("Remove from Always Keep."), shell, parent)
{
}

HistoryRow::HistoryRow(const CleanupHistoryEntry &entry, QWidget *parent)
    : QWidget(parent), m_title(new QLabel(this)), m_subtitle(new QLabel(this))
{
    const bool permanent = entry.actionRawValue == rawValue(CleanupAction::deletePermanently);
    const std::string what = entry.folderSummary.empty() ? countPhrase(entry.folderCount) : entry.folderSummary;
    const std::string size = formatByteCount(entry.bytes);
    QString help = ui::qstring(what + ", " + size);
    if (entry.failureCount > 0) {
        help += QStringLiteral(", %1 failed").arg(entry.failureCount);
    }
    if (entry.cancelled) {
        help += QStringLiteral(", cancelled");
    }
    setToolTip(help);

    m_title->setText(ui::qstring(what));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_subtitle->setText(ui::qstring(size) + QStringLiteral(" - ") + ui::relativeDateText(entry.date));
    ui::style(m_subtitle, ui::TextStyle::caption, true);

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

QString HistoryRow::title() const
{
    return m_title->text();
}

QString HistoryRow::subtitle() const
{
    return m_subtitle->text();
}

}  // namespace tarnwick
