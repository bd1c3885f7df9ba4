#pragma once

#include <QStyledItemDelegate>

namespace tarnwick {

// Draws the cells of the review list: the checkbox, the one- and two-line texts, the actions
// symbol, the tint of the focused and the selected rows and the divider under each row. It never
// handles input: a click anywhere on a row belongs to the list.
class CandidateItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Every row has the same height: two lines of text and some air.
    static int rowHeight(const QFont &font);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

}  // namespace tarnwick
