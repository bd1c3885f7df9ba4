#include "ui/CandidateItemDelegate.h"

#include "ui/CandidateTableModel.h"
#include "ui/PathElision.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>

namespace tarnwick {

namespace {

constexpr int kPadding = 8;
constexpr int kLineGap = 2;

QFont monospaced(const QFont &base)
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(ui::font(ui::TextStyle::caption, base).pointSizeF());
    return fixed;
}

void drawLine(QPainter *painter, const QRect &rect, const QFont &font, const QColor &color, const QString &text,
              Qt::TextElideMode elide)
{
    painter->setFont(font);
    painter->setPen(color);
    const QFontMetrics metrics(font);
    // Not clipped: at small sizes an underscore sits just below the font's descent, and node_modules
    // must not read "node modules".
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                      elide == Qt::ElideMiddle ? ui::elidePath(text, metrics, rect.width())
                                               : metrics.elidedText(text, elide, rect.width()));
}

}  // namespace

int CandidateItemDelegate::rowHeight(const QFont &font)
{
    const QFontMetrics first(ui::font(ui::TextStyle::headline, font));
    const QFontMetrics second(ui::font(ui::TextStyle::caption, font));
    return first.height() + second.height() + kLineGap + 2 * kPadding;
}

QSize CandidateItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int width = CandidateTableModel::columnWidth(index.column());
    return {width > 0 ? width : 200, rowHeight(option.font)};
}

bool CandidateItemDelegate::editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                                        const QModelIndex &)
{
    return false;
}

void CandidateItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    const QPalette &palette = option.palette;
    const QRect rect = option.rect;
    // The tint of a row is the same in all its cells, disabled ones included.
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);

    const bool focused = index.data(CandidateTableModel::focusedRole).toBool();
    const bool selected =
        index.siblingAtColumn(CandidateTableModel::cleanColumn).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    if (focused || selected) {
        QColor tint = accent;
        tint.setAlphaF(focused ? (ui::isDark(palette) ? 0.32 : 0.18) : (ui::isDark(palette) ? 0.14 : 0.07));
        painter->fillRect(rect, tint);
    }
    QColor divider = palette.color(QPalette::Mid);
    divider.setAlphaF(0.5);
    painter->setPen(divider);
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const bool enabled = index.flags().testFlag(Qt::ItemIsEnabled);
    const QColor text = palette.color(QPalette::Text);
    const QColor secondary = ui::secondaryTextColor(palette);
    const QFont body = option.font;
    const QFont caption = ui::font(ui::TextStyle::caption, body);
    const QRect content = rect.adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const int firstHeight = QFontMetrics(ui::font(ui::TextStyle::headline, body)).height();
    const QRect firstLine(content.left(), content.top(), content.width(), firstHeight);
    const QRect secondLine(content.left(), firstLine.bottom() + 1 + kLineGap, content.width(),
                           content.bottom() - firstLine.bottom() - kLineGap);

    const QWidget *widget = option.widget;
    QStyle *style = widget != nullptr ? widget->style() : QApplication::style();
    switch (index.column()) {
    case CandidateTableModel::cleanColumn: {
        QStyleOptionButton box;
        box.initFrom(widget);
        box.palette = palette;
        box.state = QStyle::State_None;
        box.state |= enabled ? QStyle::State_Enabled : QStyle::State_None;
        box.state |= selected ? QStyle::State_On : QStyle::State_Off;
        const int side = style->pixelMetric(QStyle::PM_IndicatorWidth, &box, widget);
        box.rect = QRect(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
        break;
    }
    case CandidateTableModel::sizeColumn:
        drawLine(painter, content, body, text, index.data().toString(), Qt::ElideRight);
        break;
    case CandidateTableModel::modifiedColumn:
        drawLine(painter, content, caption, text, index.data().toString(), Qt::ElideRight);
        break;
    case CandidateTableModel::typeColumn:
        drawLine(painter, firstLine, ui::font(ui::TextStyle::headline, body), text, index.data().toString(),
                 Qt::ElideRight);
        drawLine(painter, secondLine, caption, secondary, index.data(CandidateTableModel::secondLineRole).toString(),
                 Qt::ElideRight);
        break;
    case CandidateTableModel::pathColumn:
        drawLine(painter, firstLine, body, text, index.data().toString(), Qt::ElideMiddle);
        drawLine(painter, secondLine, monospaced(body), secondary,
                 index.data(CandidateTableModel::secondLineRole).toString(), Qt::ElideMiddle);
        break;
    case CandidateTableModel::actionsColumn: {
        const QIcon icon = ui::symbolIcon("ellipsis.circle", secondary);
        const int side = 16;
        const QRect iconRect(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
        icon.paint(painter, iconRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
        break;
    }
    default:
        break;
    }
    painter->restore();
}

}  // namespace tarnwick
