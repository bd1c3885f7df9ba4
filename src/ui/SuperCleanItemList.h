#pragma once

#include <QTableView>

namespace tarnwick {

class SuperCleanCoordinator;
class SuperCleanItemModel;

// The review list: one row per item of the tier being viewed, with its box, size, type and tier,
// name and path. Clicking a row makes it the focused item and, unless the coordinator is busy,
// flips whether it is selected; Space does the same for the focused row.
class SuperCleanItemList : public QTableView {
    Q_OBJECT
public:
    SuperCleanItemList(SuperCleanCoordinator &coordinator, SuperCleanItemModel &model, QWidget *parent = nullptr);

    // Where the row of the item with this id is drawn, in viewport coordinates; empty when the item
    // is not listed.
    QRect rowRect(const std::string &id) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void activate(const QModelIndex &index, bool flip);

    SuperCleanCoordinator &m_coordinator;
    SuperCleanItemModel &m_model;
};

}  // namespace tarnwick
