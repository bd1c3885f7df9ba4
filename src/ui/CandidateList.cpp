#include "ui/CandidateList.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "ui/CandidateItemDelegate.h"
#include "ui/CandidateTableModel.h"
#include "ui/StateBindings.h"
#include "ui/UiStyle.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>

namespace tarnwick {

CandidateList::CandidateList(AppState &state, DesktopShell &shell, QWidget *parent)
    : QTableView(parent), m_state(state), m_shell(shell), m_model(new CandidateTableModel(state, this))
{
    setModel(m_model);
    setItemDelegate(new CandidateItemDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // Tab leaves the list for the inspector; the arrow keys move within it.
    setTabKeyNavigation(false);

    // Every row has the same height, so the table never measures rows: a list of a hundred
    // thousand scrolls as cheaply as one of ten.
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(CandidateItemDelegate::rowHeight(font()));

    QHeaderView *columns = horizontalHeader();
    columns->setMinimumSectionSize(20);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSortIndicatorShown(true);
    for (int column = 0; column < CandidateTableModel::columnTotal; ++column) {
        const int width = CandidateTableModel::columnWidth(column);
        columns->setSectionResizeMode(column, width > 0 ? QHeaderView::Fixed : QHeaderView::Stretch);
        if (width > 0) {
            columns->resizeSection(column, width);
        }
    }
    // The Path column takes what the fixed columns leave; the list never narrows so far that this
    // is less than a third of it, scroll bar included. The inspector beside it gives way instead.
    int fixed = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int column = 0; column < CandidateTableModel::columnTotal; ++column) {
        fixed += CandidateTableModel::columnWidth(column);
    }
    setMinimumWidth(fixed * 3 / 2 + 1);
    applyHeaderStyle();
    connect(columns, &QHeaderView::sectionClicked, this, &CandidateList::sortByColumn);

    connect(&state, &AppState::sortModeChanged, this, &CandidateList::refreshHeader);
    connect(&state, &AppState::isScanningChanged, this, &CandidateList::refreshHeader);
    connect(&state, &AppState::isDeletingChanged, this, &CandidateList::refreshHeader);
    refreshHeader();
}

bool CandidateList::busy() const
{
    return ui::isBusy(m_state);
}

void CandidateList::activateRow(int row)
{
    const CleanupCandidate *candidate = m_model->candidate(row);
    if (candidate == nullptr) {
        return;
    }
    const std::string id = candidate->id;
    m_state.setFocusedCandidateID(id);
    if (!busy()) {
        m_state.toggleCandidateSelection(id);
    }
}

int CandidateList::focusedRow() const
{
    const auto focused = m_state.focusedCandidate();
    return focused ? m_model->row(focused->id) : -1;
}

void CandidateList::moveFocus(int row)
{
    m_model->synchronize();
    if (m_model->rowCount() == 0) {
        return;
    }
    row = std::clamp(row, 0, m_model->rowCount() - 1);
    if (const CleanupCandidate *candidate = m_model->candidate(row)) {
        m_state.setFocusedCandidateID(candidate->id);
        scrollTo(m_model->index(row, CandidateTableModel::pathColumn));
    }
}

void CandidateList::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        return;
    }
    event->accept();
    if (index.column() == CandidateTableModel::actionsColumn) {
        if (!busy()) {
            showActionsMenu(index.row());
        }
        return;
    }
    activateRow(index.row());
}

// The press did the work; the table's own handling would start a drag selection or an editor.
void CandidateList::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void CandidateList::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void CandidateList::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void CandidateList::keyPressEvent(QKeyEvent *event)
{
    const int page = std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
    const int row = focusedRow();
    switch (event->key()) {
    case Qt::Key_Up:
        moveFocus(row - 1);
        break;
    case Qt::Key_Down:
        moveFocus(row + 1);
        break;
    case Qt::Key_PageUp:
        moveFocus(row - page);
        break;
    case Qt::Key_PageDown:
        moveFocus(row + page);
        break;
    case Qt::Key_Home:
        moveFocus(0);
        break;
    case Qt::Key_End:
        moveFocus(m_model->rowCount() - 1);
        break;
    case Qt::Key_Space:
        if (const auto focused = m_state.focusedCandidate(); focused && !busy()) {
            m_state.toggleCandidateSelection(focused->id);
        }
        break;
    case Qt::Key_Menu:
        if (row >= 0) {
            showActionsMenu(row);
        }
        break;
    default:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CandidateList::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid()) {
        return;
    }
    QMenu *menu = rowMenu(index.row(), this);
    if (menu != nullptr) {
        menu->exec(event->globalPos());
        delete menu;
    }
}

void CandidateList::showActionsMenu(int row)
{
    QMenu *menu = rowMenu(row, this);
    if (menu == nullptr) {
        return;
    }
    const QRect cell = visualRect(m_model->index(row, CandidateTableModel::actionsColumn));
    menu->exec(viewport()->mapToGlobal(cell.bottomLeft()));
    delete menu;
}

QMenu *CandidateList::rowMenu(int row, QWidget *parent)
{
    const CleanupCandidate *shown = m_model->candidate(row);
    if (shown == nullptr) {
        return nullptr;
    }
    // The menu may outlive this row (the list can change while it is open): it keeps a copy.
    const CleanupCandidate candidate = *shown;
    const bool selected = m_state.selectedCandidateIDs().contains(candidate.id);
    auto *menu = new QMenu(parent);
    QAction *select =
        menu->addAction(selected ? QStringLiteral("Remove from Selection") : QStringLiteral("Select for Cleanup"));
    select->setEnabled(!busy());
    connect(select, &QAction::triggered, this,
            [this, id = candidate.id, selected] { m_state.setCandidate(id, !selected); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Show in File Manager")), &QAction::triggered, this,
            [this, path = candidate.path] { m_shell.revealInFileManager(path); });
    connect(menu->addAction(QStringLiteral("Copy Path")), &QAction::triggered, this,
            [this, candidate] { m_state.copyPath(candidate); });
    QAction *keep = menu->addAction(QStringLiteral("Always Keep This Folder"));
    keep->setEnabled(!busy());
    connect(keep, &QAction::triggered, this, [this, candidate] { m_state.exclude(candidate); });
    return menu;
}

void CandidateList::sortByColumn(int column)
{
    if (busy()) {
        return;
    }
    switch (column) {
    case CandidateTableModel::sizeColumn:
        m_state.setSortMode(m_state.sortMode() == CandidateSortMode::largest ? CandidateSortMode::smallest
                                                                             : CandidateSortMode::largest);
        break;
    case CandidateTableModel::typeColumn:
        m_state.setSortMode(CandidateSortMode::target);
        break;
    case CandidateTableModel::modifiedColumn:
        m_state.setSortMode(CandidateSortMode::lastModified);
        break;
    case CandidateTableModel::pathColumn:
        m_state.setSortMode(CandidateSortMode::path);
        break;
    default:
        break;
    }
    refreshHeader();  // the header flipped its arrow on its own; the state decides
}

void CandidateList::refreshHeader()
{
    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(!busy());
    switch (m_state.sortMode()) {
    case CandidateSortMode::largest:
        columns->setSortIndicator(CandidateTableModel::sizeColumn, Qt::DescendingOrder);
        break;
    case CandidateSortMode::smallest:
        columns->setSortIndicator(CandidateTableModel::sizeColumn, Qt::AscendingOrder);
        break;
    case CandidateSortMode::target:
        columns->setSortIndicator(CandidateTableModel::typeColumn, Qt::AscendingOrder);
        break;
    case CandidateSortMode::lastModified:
        columns->setSortIndicator(CandidateTableModel::modifiedColumn, Qt::AscendingOrder);
        break;
    case CandidateSortMode::path:
        columns->setSortIndicator(CandidateTableModel::pathColumn, Qt::AscendingOrder);
        break;
    }
}

void CandidateList::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        applyHeaderStyle();
        verticalHeader()->setDefaultSectionSize(CandidateItemDelegate::rowHeight(font()));
    }
}

void CandidateList::applyHeaderStyle()
{
    QHeaderView *columns = horizontalHeader();
    QFont caption = ui::font(ui::TextStyle::caption, font());
    caption.setWeight(QFont::DemiBold);
    columns->setFont(caption);
    const QPalette &colors = palette();
    QColor divider = colors.color(QPalette::Mid);
    columns->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: none; "
                       "border-bottom: 1px solid %3; padding: 4px 5px; }")
            .arg(ui::controlBackgroundColor(colors).name(), ui::secondaryTextColor(colors).name(), divider.name()));
}

}  // namespace tarnwick
