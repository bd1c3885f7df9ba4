#include "ui/SuperCleanItemList.h"

#include "app/SuperCleanCoordinator.h"
#include "ui/PathElision.h"
#include "ui/SuperCleanItemModel.h"
#include "ui/SuperCleanTierBadge.h"
#include "ui/UiStyle.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tarnwick {

namespace {

constexpr int kRowHeight = 46;
constexpr int kInset = 8;

// Draws the rows as the list describes them: a centred box, two-line type and path cells, the tint
// of a focused or selected row and a divider under each row.
class ItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        const QVariant background = index.data(Qt::BackgroundRole);
        if (background.canConvert<QBrush>()) {
            painter->fillRect(option.rect, background.value<QBrush>());
        }
        QColor divider = option.palette.color(QPalette::Mid);
        divider.setAlpha(90);
        painter->setPen(divider);
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());

        const QRect cell = option.rect.adjusted(kInset, 0, -kInset, 0);
        const QColor text = option.palette.color(QPalette::Text);
        switch (index.column()) {
        case SuperCleanItemModel::cleanColumn:
            paintBox(painter, option, index);
            break;
        case SuperCleanItemModel::sizeColumn:
            painter->setPen(text);
            painter->setFont(option.font);
            painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
            break;
        case SuperCleanItemModel::typeColumn: {
            const auto [top, bottom] = halves(cell, option.font);
            painter->setPen(text);
            painter->setFont(option.font);
            painter->drawText(top, Qt::AlignLeft | Qt::AlignBottom,
                              option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, top.width()));
            SuperCleanTierBadge::paint(*painter, bottom,
                                       static_cast<SuperCleanTier>(index.data(SuperCleanItemModel::tierRole).toInt()),
                                       option.palette, option.font);
            break;
        }
        case SuperCleanItemModel::pathColumn: {
            const auto [top, bottom] = halves(cell, option.font);
            painter->setPen(text);
            painter->setFont(option.font);
            painter->drawText(top, Qt::AlignLeft | Qt::AlignBottom,
                              option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, top.width()));
            const QFont caption = ui::font(ui::TextStyle::caption, option.font);
            painter->setFont(caption);
            painter->setPen(ui::secondaryTextColor(option.palette));
            painter->drawText(bottom, Qt::AlignLeft | Qt::AlignTop,
                              ui::elidePath(index.data(SuperCleanItemModel::pathRole).toString(),
                                            QFontMetrics(caption), bottom.width()));
            break;
        }
        default:
            break;
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
    }

private:
    // The name line ends just above the middle, the detail line starts just below it.
    static std::pair<QRect, QRect> halves(const QRect &cell, const QFont &font)
    {
        const int gap = QFontMetrics(font).descent();
        const int middle = cell.center().y();
        return {QRect(cell.left(), cell.top(), cell.width(), middle - cell.top() + gap / 2),
                QRect(cell.left(), middle + gap, cell.width(), cell.bottom() - middle - gap)};
    }

    static void paintBox(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index)
    {
        QStyleOptionButton box;
        box.palette = option.palette;
        box.state = QStyle::State_Enabled |
                    (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
        const QStyle *style = option.widget != nullptr ? option.widget->style() : nullptr;
        if (style == nullptr) {
            return;
        }
        const int side = style->pixelMetric(QStyle::PM_IndicatorWidth, &box, option.widget);
        box.rect = QRect(option.rect.center().x() - side / 2, option.rect.center().y() - side / 2, side, side);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
    }
};

}  // namespace

SuperCleanItemList::SuperCleanItemList(SuperCleanCoordinator &coordinator, SuperCleanItemModel &model, QWidget *parent)
    : QTableView(parent), m_coordinator(coordinator), m_model(model)
{
    setModel(&model);
    setItemDelegate(new ItemDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setShowGrid(false);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    // Tab leaves the list for the inspector; the arrow keys move within it.
    setTabKeyNavigation(false);
    setMouseTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView *header = horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(SuperCleanItemModel::cleanColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(SuperCleanItemModel::sizeColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(SuperCleanItemModel::typeColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(SuperCleanItemModel::pathColumn, QHeaderView::Stretch);
    header->resizeSection(SuperCleanItemModel::cleanColumn, 52);
    header->resizeSection(SuperCleanItemModel::sizeColumn, 84);
    header->resizeSection(SuperCleanItemModel::typeColumn, 150);

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { activate(index, true); });
}

QRect SuperCleanItemList::rowRect(const std::string &id) const
{
    const int row = m_model.rowOf(id);
    if (row < 0) {
        return {};
    }
    const QRect first = visualRect(m_model.index(row, 0));
    const QRect last = visualRect(m_model.index(row, SuperCleanItemModel::columnCount_ - 1));
    return first.united(last);
}

void SuperCleanItemList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        if (const auto focused = m_coordinator.focusedItemID()) {
            activate(m_model.index(m_model.rowOf(*focused), 0), true);
        }
        return;
    }
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && m_model.rowCount() > 0) {
        const auto focused = m_coordinator.focusedItemID();
        const int row = focused ? m_model.rowOf(*focused) : -1;
        const int next = std::clamp(row + (event->key() == Qt::Key_Down ? 1 : -1), 0, m_model.rowCount() - 1);
        activate(m_model.index(next, 0), false);
        scrollTo(m_model.index(next, 0));
        return;
    }
    QTableView::keyPressEvent(event);
}

void SuperCleanItemList::activate(const QModelIndex &index, bool flip)
{
    const SuperCleanItem *item = m_model.itemAt(index.row());
    if (item == nullptr) {
        return;
    }
    // Copied: both calls below change the coordinator's lists the item lives in.
    const std::string id = item->id;
    const bool selected = m_coordinator.selectedItemIDs().contains(id);
    m_coordinator.setFocusedItemID(id);
    if (flip && !m_coordinator.isBusy()) {
        m_coordinator.setItem(id, !selected);
    }
}

}  // namespace tarnwick
