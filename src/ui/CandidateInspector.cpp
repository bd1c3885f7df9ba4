#include "ui/CandidateInspector.h"

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "core/ByteCountFormatter.h"
#include "engine/CleanupGuidance.h"
#include "ui/CandidateTableModel.h"
#include "ui/DeferredRefresh.h"
#include "ui/GuidanceBlock.h"
#include "ui/RelativeDateClock.h"
#include "ui/RiskBadge.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

// The inspector starts at its ideal width and gives way to the list down to its minimum, which
// still fits its buttons and the guidance's titles.
constexpr int kMinimumWidth = 232;
constexpr int kMaximumWidth = 440;

QString riskNote(CleanupRisk risk)
{
    switch (risk) {
    case CleanupRisk::safe:
        return QStringLiteral("Safe targets are high-confidence generated folders.");
    case CleanupRisk::review:
        return QStringLiteral("Review targets are usually safe, but the path matters.");
    case CleanupRisk::advanced:
        return QStringLiteral("Advanced targets can remove local environments or artifacts; keep them selected only "
                              "when you are sure.");
    }
    return {};
}

// A read-only, selectable path that wraps anywhere (a path has few spaces to wrap at) and is as
// tall as its text.
class PathText : public QTextEdit {
public:
    explicit PathText(QWidget *parent) : QTextEdit(parent)
    {
        setReadOnly(true);
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        document()->setDocumentMargin(0);
        viewport()->setAutoFillBackground(false);
        QPalette transparent = palette();
        transparent.setColor(QPalette::Base, Qt::transparent);
        setPalette(transparent);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSizeF(ui::font(ui::TextStyle::caption, font()).pointSizeF());
        setFont(fixed);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this] { setFixedHeight(static_cast<int>(document()->size().height()) + 2); });
    }
};

}  // namespace

CandidateInspector::CandidateInspector(AppState &state, DesktopShell &shell, QWidget *parent)
    : QFrame(parent), m_state(state), m_shell(shell), m_refresh(new DeferredRefresh(this, [this] { refresh(); }))
{
    setMinimumWidth(kMinimumWidth);
    setMaximumWidth(kMaximumWidth);
    m_pages = new QStackedLayout(this);

    m_emptyPage = new QWidget(this);
    auto *empty = new QVBoxLayout(m_emptyPage);
    empty->addStretch();
    auto *emptySymbol = new QLabel(m_emptyPage);
    emptySymbol->setPixmap(ui::symbolIcon("sidebar.right", ui::secondaryTextColor(palette())).pixmap(32, 32));
    emptySymbol->setAlignment(Qt::AlignCenter);
    auto *emptyTitle = new QLabel(QStringLiteral("No Selection"), m_emptyPage);
    ui::style(emptyTitle, ui::TextStyle::headline);
    emptyTitle->setAlignment(Qt::AlignCenter);
    auto *emptyMessage = new QLabel(QStringLiteral("Select a row to inspect its rule and full path."), m_emptyPage);
    ui::style(emptyMessage, ui::TextStyle::caption);
    emptyMessage->setAlignment(Qt::AlignCenter);
    emptyMessage->setWordWrap(true);
    empty->addWidget(emptySymbol);
    empty->addWidget(emptyTitle);
    empty->addWidget(emptyMessage);
    empty->addStretch();
    m_pages->addWidget(m_emptyPage);

    // The guidance can be longer than the window is tall: the details scroll.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    m_detailPage = new QWidget(scroll);
    m_detailPage->setAutoFillBackground(false);
    scroll->setWidget(m_detailPage);
    m_pages->addWidget(scroll);

    auto *details = new QVBoxLayout(m_detailPage);
    details->setContentsMargins(16, 16, 16, 16);
    details->setSpacing(10);
    m_category = new QLabel(m_detailPage);
    ui::style(m_category, ui::TextStyle::title);
    m_category->setWordWrap(true);
    m_description = new QLabel(m_detailPage);
    ui::style(m_description, ui::TextStyle::body, true);
    m_description->setWordWrap(true);
    details->addWidget(m_category);
    details->addWidget(m_description);

    auto *riskRow = new QHBoxLayout;
    m_risk = new RiskBadge(CleanupRisk::safe, m_detailPage);
    m_size = new QLabel(m_detailPage);
    ui::style(m_size, ui::TextStyle::headline);
    riskRow->addWidget(m_risk);
    riskRow->addStretch();
    riskRow->addWidget(m_size);
    details->addLayout(riskRow);

    m_key = addField(details, QStringLiteral("Folder Type"));
    m_modified = addField(details, QStringLiteral("Last Modified"));
    auto *pathTitle = new QLabel(QStringLiteral("Path"), m_detailPage);
    ui::style(pathTitle, ui::TextStyle::caption, true);
    m_path = new PathText(m_detailPage);
    details->addWidget(pathTitle);
    details->addWidget(m_path);

    m_safety = new GuidanceBlock(m_detailPage);
    m_recreation = new GuidanceBlock(m_detailPage);
    m_riskNote = new GuidanceBlock(m_detailPage);
    details->addSpacing(4);
    details->addWidget(m_safety);
    details->addWidget(m_recreation);
    details->addWidget(m_riskNote);

    m_include = new QCheckBox(QStringLiteral("Include in cleanup"), m_detailPage);
    m_include->setToolTip(QStringLiteral("Controls whether this folder will be cleaned."));
    details->addSpacing(4);
    details->addWidget(m_include);
    connect(m_include, &QCheckBox::clicked, this, [this](bool checked) {
        if (const auto focused = m_state.focusedCandidate()) {
            m_state.setCandidate(focused->id, checked);
        }
    });

    m_reveal = new QPushButton(ui::symbolIcon("finder"), QStringLiteral("Reveal"), m_detailPage);
    m_copyPath = new QPushButton(ui::symbolIcon("doc.on.doc"), QStringLiteral("Copy Path"), m_detailPage);
    m_keep = new QPushButton(ui::symbolIcon("hand.raised"), QStringLiteral("Always Keep"), m_detailPage);
    // Two buttons a row fit the inspector at its narrowest.
    auto *actions = new QGridLayout;
    actions->addWidget(m_reveal, 0, 0);
    actions->addWidget(m_copyPath, 0, 1);
    actions->addWidget(m_keep, 1, 0, 1, 2);
    details->addLayout(actions);
    details->addStretch();
    connect(m_reveal, &QPushButton::clicked, this, [this] {
        if (const auto focused = m_state.focusedCandidate()) {
            m_shell.revealInFileManager(focused->path);
        }
    });
    connect(m_copyPath, &QPushButton::clicked, this, [this] {
        if (const auto focused = m_state.focusedCandidate()) {
            m_state.copyPath(*focused);
        }
    });
    connect(m_keep, &QPushButton::clicked, this, [this] {
        if (const auto focused = m_state.focusedCandidate()) {
            m_state.exclude(*focused);
        }
    });

    // The focus falls back to the only selected or the first shown candidate, so everything that
    // changes those changes what is shown here.
    m_refresh->watch(&state, &AppState::focusedCandidateIDChanged, &AppState::candidatesChanged,
                     &AppState::selectedCandidateIDsChanged, &AppState::reviewFilterChanged,
                     &AppState::searchTextChanged, &AppState::sortModeChanged, &AppState::isScanningChanged,
                     &AppState::isDeletingChanged);
    connect(&ui::RelativeDateClock::shared(), &ui::RelativeDateClock::ticked, this, &CandidateInspector::showModified);
    refresh();
}

void CandidateInspector::showModified()
{
    if (m_shown && m_shown->candidate) {
        m_modified->setText(
            CandidateTableModel::modifiedText(m_shown->candidate->modifiedAt, ui::RelativeDateClock::shared().now()));
    }
}

QLabel *CandidateInspector::addField(QVBoxLayout *layout, const QString &title)
{
    auto *titleLabel = new QLabel(title, m_detailPage);
    ui::style(titleLabel, ui::TextStyle::caption, true);
    auto *value = new QLabel(m_detailPage);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *field = new QVBoxLayout;
    field->setSpacing(1);
    field->addWidget(titleLabel);
    field->addWidget(value);
    layout->addLayout(field);
    return value;
}

QString CandidateInspector::shownCategory() const
{
    return m_pages->currentWidget() == m_emptyPage ? QString() : m_category->text();
}

void CandidateInspector::refreshNow()
{
    m_refresh->now();
}

void CandidateInspector::refresh()
{
    const auto focused = m_state.focusedCandidate();
    const bool busy = ui::isBusy(m_state);
    const bool selected = focused && m_state.selectedCandidateIDs().contains(focused->id);
    // A scan announces every batch of results; the inspector only redraws when what it shows moved.
    Shown shown{focused, selected, busy};
    if (m_shown == shown) {
        return;
    }
    m_shown = std::move(shown);
    if (!focused) {
        m_pages->setCurrentWidget(m_emptyPage);
        return;
    }
    m_pages->setCurrentIndex(1);
    m_category->setText(QString::fromStdString(focused->category));
    m_description->setText(QString::fromStdString(focused->description));
    m_risk->setRisk(focused->risk);
    m_size->setText(ui::sizeText(focused->size));
    m_key->setText(QString::fromStdString(focused->key));
    showModified();
    const QString path = ui::displayPath(focused->path);
    if (m_path->toPlainText() != path) {
        m_path->setPlainText(path);
    }
    m_safety->set(
        QStringLiteral("Why it is usually safe"),
        QString::fromStdString(CleanupGuidance::safetySummary(focused->key, focused->category, focused->risk)),
        "info.circle");
    m_recreation->set(QStringLiteral("How it comes back"),
                      QString::fromStdString(CleanupGuidance::recreationSummary(focused->key, focused->category)),
                      "arrow.clockwise");
    m_riskNote->set(QStringLiteral("Risk"), riskNote(focused->risk),
                    focused->risk == CleanupRisk::advanced ? "exclamationmark.triangle" : "checkmark.shield");
    m_include->setChecked(selected);
    m_include->setEnabled(!busy);
    m_keep->setEnabled(!busy);
}

void CandidateInspector::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(rect(), ui::controlBackgroundColor(palette()));
    QFrame::paintEvent(event);
}

}  // namespace tarnwick
