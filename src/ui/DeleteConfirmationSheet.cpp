#include "ui/DeleteConfirmationSheet.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "ui/ElidedLabel.h"
#include "ui/SheetSize.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

DeleteConfirmationSheet::DeleteConfirmationSheet(const AppState &state, QWidget *parent)
    : QDialog(parent), m_title(new QLabel(this)), m_message(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)), m_action(new QPushButton(this))
{
    const bool permanent = state.cleanupAction() == CleanupAction::deletePermanently;
    const auto totals = state.selectionTotals();
    const QString count = QString::fromStdString(countPhrase(totals.count));
    const QString size = ui::sizeText(totals.bytes);
    setWindowTitle(ui::cleanupActionTitle(state.cleanupAction()));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 18);
    layout->setSpacing(10);
    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    auto *symbol = new QLabel(this);
    symbol->setPixmap(
        ui::symbolIcon("trash.circle.fill", permanent ? ui::redColor(palette()) : ui::secondaryTextColor(palette()))
            .pixmap(44, 44));
    top->addWidget(symbol, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    ui::style(m_title, ui::TextStyle::title3);
    QFont titleFont = m_title->font();
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_title->setText(permanent ? QStringLiteral("Delete Selected Folders Permanently?")
                               : QStringLiteral("Move Selected Folders to Trash?"));
    m_message->setWordWrap(true);
    m_message->setText(permanent
                           ? QStringLiteral("This will permanently delete ") + count + QStringLiteral(", about ") +
                                 size + QStringLiteral(" total. This cannot be undone.")
                           : QStringLiteral("This will move ") + count + QStringLiteral(", about ") + size +
                                 QStringLiteral(" total, to Trash. You can restore them until Trash is emptied."));
    texts->addWidget(m_title);
    texts->addWidget(m_message);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    // The first few in the order of the list, found without copying the whole selection.
    auto *list = new QFrame(this);
    list->setObjectName(QStringLiteral("selectedFolders"));
    list->setStyleSheet(QStringLiteral("QFrame#selectedFolders { background-color: %1; border-radius: 8px; }")
                            .arg(ui::controlBackgroundColor(palette()).name()));
    auto *rows = new QGridLayout(list);
    rows->setContentsMargins(12, 8, 12, 8);
    rows->setHorizontalSpacing(14);
    rows->setVerticalSpacing(4);
    rows->setColumnStretch(1, 1);
    const QFont caption = ui::font(ui::TextStyle::caption, font());
    int listed = 0;
    for (const auto &candidate : state.candidates()) {
        if (listed == kListedFolders) {
            break;
        }
        if (!state.selectedCandidateIDs().contains(candidate.id)) {
            continue;
        }
        auto *sizeLabel = new QLabel(ui::sizeText(candidate.size), list);
        sizeLabel->setFont(caption);
        sizeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *pathLabel = new ElidedLabel(Qt::ElideMiddle, list);
        pathLabel->setFont(caption);
        const QString path = ui::displayPath(candidate.path);
        pathLabel->setFullText(path);
        rows->addWidget(sizeLabel, listed, 0);
        rows->addWidget(pathLabel, listed, 1);
        m_listed << path;
        ++listed;
    }
    if (totals.count > listed) {
        auto *more = new QLabel(QString::number(totals.count - listed) + QStringLiteral(" more"), list);
        more->setFont(caption);
        ui::setSecondary(more);
        rows->addWidget(more, listed, 1);
        m_listed << more->text();
    }
    layout->addWidget(list);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_action);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    m_action->setText(ui::cleanupActionTitle(state.cleanupAction()));
    m_action->setIcon(ui::symbolIcon(permanent ? "trash.slash" : "trash", Qt::white));
    ui::setProminent(m_action,
                     permanent ? ui::redColor(QApplication::palette()) : ui::accentColor(QApplication::palette()));
    m_action->setDefault(true);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_action, &QPushButton::clicked, this, &QDialog::accept);
    ui::fixSheetSize(*this, 500);
}

QString DeleteConfirmationSheet::titleText() const
{
    return m_title->text();
}

QString DeleteConfirmationSheet::messageText() const
{
    return m_message->text();
}

}  // namespace tarnwick
