#include "ui/SuperCleanScopeGroupView.h"

#include "app/SuperCleanCoordinator.h"
#include "ui/ElidedLabel.h"
#include "ui/SuperCleanScopeStep.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarnwick {

SuperCleanScopeGroupView::SuperCleanScopeGroupView(SuperCleanCoordinator &coordinator,
                                                   const SuperCleanScopeGroup &group, QWidget *parent)
    : SuperCleanCard(parent), m_coordinator(coordinator), m_kind(group.kind)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 10);
    layout->setSpacing(2);

    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(ui::makeLabel(ui::qstring(title(group.kind)), ui::TextStyle::headline, this));
    titleRow->addStretch();
    m_count = ui::makeLabel({}, ui::TextStyle::caption, this, true);
    titleRow->addWidget(m_count);
    layout->addLayout(titleRow);
    layout->addWidget(ui::makeParagraph(SuperCleanScopeStep::description(group.kind), ui::TextStyle::caption, this,
                                        true));
    layout->addSpacing(6);

    for (const auto &root : group.roots) {
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        auto *box = new QCheckBox(this);
        box->setAccessibleName(ui::displayPath(root.path));
        m_boxes.push_back(box);
        auto *path = new ElidedLabel(Qt::ElideMiddle, this);
        path->setFullText(ui::displayPath(root.path));
        row->addWidget(box);
        row->addWidget(path, 1);
        auto *source = ui::makeLabel(ui::qstring(root.source), ui::TextStyle::caption, this, true);
        source->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(source);
        // The notice keeps its column on every row, so sources line up whether or not it is shown.
        const QString notFound = QStringLiteral("Not found on this computer");
        auto *absent = ui::makeLabel(root.exists ? QString() : notFound, ui::TextStyle::caption, this);
        absent->setFixedWidth(absent->fontMetrics().horizontalAdvance(notFound) + 4);
        ui::setTextColor(absent, ui::orangeColor(palette()));
        row->addWidget(absent);
        layout->addLayout(row);
        connect(box, &QCheckBox::clicked, this, [this, id = root.id] { toggle(id); });
    }
    showGroup(group);
}

void SuperCleanScopeGroupView::showGroup(const SuperCleanScopeGroup &group)
{
    const bool busy = m_coordinator.isBusy();
    for (std::size_t index = 0; index < m_boxes.size() && index < group.roots.size(); ++index) {
        const SuperCleanScopeRoot &root = group.roots[index];
        const QSignalBlocker blocker(m_boxes[index]);
        // A location that is not there is never analyzed, whatever its flag says: a ticked box
        // beside "0 selected" would contradict the count.
        m_boxes[index]->setChecked(root.isSelected && root.exists);
        m_boxes[index]->setEnabled(!busy && root.exists);
    }
    m_count->setText(QStringLiteral("%1 selected").arg(group.selectedRoots().size()));
}

void SuperCleanScopeGroupView::toggle(const std::string &id)
{
    m_coordinator.toggleRoot(id);
    // A refused toggle announces nothing, yet the box has flipped already: put it back in step.
    for (const auto &group : m_coordinator.scopeGroups()) {
        if (group.kind == m_kind) {
            showGroup(group);
        }
    }
}

}  // namespace tarnwick
