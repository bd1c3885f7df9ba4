#pragma once

#include "core/SuperCleanScopeGroup.h"
#include "ui/SuperCleanCard.h"

#include <vector>

class QCheckBox;
class QLabel;

namespace tarnwick {

class SuperCleanCoordinator;

// One group of locations as a card: its title, how many of its locations will be analyzed, what it
// covers, and a row per location with its box, path and source.
class SuperCleanScopeGroupView : public SuperCleanCard {
    Q_OBJECT
public:
    SuperCleanScopeGroupView(SuperCleanCoordinator &coordinator, const SuperCleanScopeGroup &group,
                             QWidget *parent = nullptr);

    // The same locations in a new state: boxes, count and enablement follow it.
    void showGroup(const SuperCleanScopeGroup &group);

private:
    void toggle(const std::string &id);

    SuperCleanCoordinator &m_coordinator;
    SuperCleanScopeKind m_kind;
    QLabel *m_count;
    std::vector<QCheckBox *> m_boxes;
};

}  // namespace tarnwick
