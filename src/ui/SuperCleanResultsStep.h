#pragma once

#include "core/SuperCleanTier.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace tarnwick {

class AppState;
class DesktopShell;
class SuperCleanCoordinator;
class SuperCleanInspector;
class SuperCleanItemList;
class SuperCleanItemModel;
class SuperCleanMetric;

// The review: what was found and what is selected, a picker of the three tiers with their counts,
// and the items of the chosen tier beside the inspector of the focused one.
//
// The tier being viewed is the only thing the window keeps of its own. Each opening builds a new
// window, so it starts at Recommended every time.
class SuperCleanResultsStep : public QWidget {
    Q_OBJECT
public:
    SuperCleanResultsStep(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    SuperCleanTier selectedTier() const { return m_selectedTier; }
    void setSelectedTier(SuperCleanTier tier);

    SuperCleanItemModel &model() const { return *m_model; }
    SuperCleanItemList &list() const { return *m_list; }
    SuperCleanInspector &inspector() const { return *m_inspector; }
    // The explanation shown instead of the list when the tier in view has no items.
    QWidget *emptyTierNote() const;

private:
    void refresh();

    SuperCleanCoordinator &m_coordinator;
    SuperCleanTier m_selectedTier = SuperCleanTier::recommended;
    SuperCleanItemModel *m_model;
    SuperCleanMetric *m_found;
    SuperCleanMetric *m_selected;
    QButtonGroup *m_tierGroup;
    std::array<QPushButton *, 3> m_tierButtons{};
    QStackedWidget *m_body;
    SuperCleanItemList *m_list;
    SuperCleanInspector *m_inspector;
    QStackedWidget *m_tierPages = nullptr;
    QLabel *m_emptyTierTitle = nullptr;
    QLabel *m_emptyTierMessage = nullptr;
};

}  // namespace tarnwick
