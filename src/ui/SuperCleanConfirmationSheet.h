#pragma once

#include <QDialog>

namespace tarnwick {

class SuperCleanCoordinator;

// Asks before the selected items move to the Trash, naming the first few of them. It is shown
// while the coordinator says a confirmation is presented and changes only that flag and, when
// confirmed, starts the cleaning.
class SuperCleanConfirmationSheet : public QDialog {
    Q_OBJECT
public:
    // The sheet names at most this many items and counts the rest.
    static constexpr int kListedItems = 6;

    explicit SuperCleanConfirmationSheet(SuperCleanCoordinator &coordinator, QWidget *parent = nullptr);

    void reject() override;

private:
    void confirm();

    SuperCleanCoordinator &m_coordinator;
};

}  // namespace tarnwick
