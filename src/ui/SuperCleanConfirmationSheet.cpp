#include "ui/SuperCleanConfirmationSheet.h"

#include "app/SuperCleanCoordinator.h"
#include "ui/ElidedLabel.h"
#include "ui/SuperCleanCard.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"
#include "ui/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

SuperCleanConfirmationSheet::SuperCleanConfirmationSheet(SuperCleanCoordinator &coordinator, QWidget *parent)
    : QDialog(parent), m_coordinator(coordinator)
{
    setWindowTitle(QStringLiteral("Move Selected Items to Trash?"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(460);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 18);
    layout->setSpacing(10);

    layout->addWidget(ui::makeSymbol("trash.circle.fill", 44, ui::accentColor(palette()), this), 0, Qt::AlignHCenter);
    auto *title = ui::makeLabel(QStringLiteral("Move Selected Items to Trash?"), ui::TextStyle::title, this);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    auto *explanation = ui::makeParagraph(
        QStringLiteral("Super Clean will re-check every item first. Changed, missing, symlinked, mounted, or moved "
                       "items will be skipped."),
        ui::TextStyle::body, this, true);
    explanation->setAlignment(Qt::AlignHCenter);
    layout->addWidget(explanation);

    const auto selected = coordinator.selectedItems();
    auto *list = new QWidget(this);
    auto *listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(4, 4, 4, 0);
    listLayout->setSpacing(4);
    const std::size_t listed = std::min<std::size_t>(selected.size(), kListedItems);
    for (std::size_t index = 0; index < listed; ++index) {
        const auto &item = selected[index];
        auto *row = new QHBoxLayout;
        auto *name = ui::makeLabel(ui::displayName(item.candidate.path), ui::TextStyle::body, list);
        name->setObjectName(QStringLiteral("confirmationItem"));
        auto *path = new ElidedLabel(Qt::ElideMiddle, list);
        ui::style(path, ui::TextStyle::caption, true);
        path->setFullText(ui::displayPath(item.candidate.path));
        row->addWidget(name);
        row->addWidget(path, 1);
        row->addWidget(ui::makeLabel(ui::sizeText(item.candidate.size), ui::TextStyle::body, list, true));
        listLayout->addLayout(row);
    }
    if (selected.size() > listed) {
        auto *more = ui::makeLabel(QStringLiteral("%1 more").arg(selected.size() - listed), ui::TextStyle::caption,
                                   list, true);
        more->setObjectName(QStringLiteral("confirmationMore"));
        listLayout->addWidget(more);
    }
    layout->addWidget(list);

    auto *note = new SuperCleanCard(this, 8);
    auto *noteLayout = new QHBoxLayout(note);
    noteLayout->setContentsMargins(12, 8, 12, 8);
    noteLayout->addWidget(
        ui::makeParagraph(QStringLiteral("Items moved to Trash still use storage until Trash is emptied."),
                          ui::TextStyle::caption, note, true));
    layout->addWidget(note);
    layout->addSpacing(6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    auto *move = new QPushButton(ui::symbolIcon("trash"), QStringLiteral("Move to Trash"), this);
    move->setDefault(true);
    ui::makeProminent(move);
    buttons->addWidget(cancel);
    buttons->addWidget(move);
    layout->addLayout(buttons);

    connect(cancel, &QPushButton::clicked, this, &SuperCleanConfirmationSheet::reject);
    connect(move, &QPushButton::clicked, this, &SuperCleanConfirmationSheet::confirm);
}

void SuperCleanConfirmationSheet::reject()
{
    m_coordinator.setConfirmationPresented(false);
    QDialog::reject();
}

void SuperCleanConfirmationSheet::confirm()
{
    // The window takes the sheet away as soon as the flag drops, so everything needed afterwards is
    // held outside the sheet.
    SuperCleanCoordinator &coordinator = m_coordinator;
    coordinator.setConfirmationPresented(false);
    coordinator.cleanSelected();
}

}  // namespace tarnwick
