#include "ui/ReviewView.h"

#include "app/AppState.h"
#include "ui/CandidateInspector.h"
#include "ui/CandidateList.h"
#include "ui/DeferredRefresh.h"
#include "ui/DividerSplitter.h"
#include "ui/EmptyFilteredView.h"
#include "ui/EmptyReviewView.h"
#include "ui/OperationBanner.h"
#include "ui/ReviewHeader.h"
#include "ui/StatusBar.h"

#include <QFrame>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QFrame *divider(Qt::Orientation orientation, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

}  // namespace

ReviewView::ReviewView(AppState &state, DesktopShell &shell, QWidget *parent)
    : QWidget(parent),
      m_state(state),
      m_refresh(new DeferredRefresh(this, [this] { refresh(); })),
      m_header(new ReviewHeader(state, this)),
      m_bannerArea(new QWidget(this)),
      m_banner(new OperationBanner(state, m_bannerArea)),
      m_content(new QStackedWidget(this)),
      m_empty(new EmptyReviewView(state, shell, m_content)),
      m_filtered(new EmptyFilteredView(state, m_content)),
      m_results(new DividerSplitter(Qt::Horizontal, m_content)),
      m_list(new CandidateList(state, shell, m_results)),
      m_inspector(new CandidateInspector(state, shell, m_results)),
      m_status(new StatusBar(state, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(divider(Qt::Horizontal, this));

    auto *banner = new QVBoxLayout(m_bannerArea);
    banner->setContentsMargins(0, 0, 0, 0);
    banner->setSpacing(0);
    banner->addWidget(m_banner);
    banner->addWidget(divider(Qt::Horizontal, m_bannerArea));
    layout->addWidget(m_bannerArea);

    // When the window narrows, the list keeps its width (enough for a readable Path column) and
    // the inspector gives way, down to its own minimum.
    m_results->addWidget(m_list);
    m_results->addWidget(m_inspector);
    m_results->setStretchFactor(0, 1);
    m_results->setStretchFactor(1, 0);
    m_content->addWidget(m_empty);
    m_content->addWidget(m_filtered);
    m_content->addWidget(m_results);
    layout->addWidget(m_content, 1);

    layout->addWidget(divider(Qt::Horizontal, this));
    layout->addWidget(m_status);

    m_refresh->watch(&state, &AppState::candidatesChanged, &AppState::reviewFilterChanged,
                     &AppState::searchTextChanged, &AppState::selectedCandidateIDsChanged,
                     &AppState::isScanningChanged, &AppState::isDeletingChanged);
    refresh();
}

QSplitter *ReviewView::resultsSplitter() const
{
    return m_results;
}

QWidget *ReviewView::currentContent() const
{
    return m_content->currentWidget();
}

bool ReviewView::isBannerShown() const
{
    return !m_bannerArea->isHidden();
}

void ReviewView::refresh()
{
    m_bannerArea->setVisible(m_state.isScanning() || m_state.isDeleting());
    if (m_state.candidates().empty()) {
        m_content->setCurrentWidget(m_empty);
    } else if (m_state.displayedRows().empty()) {
        m_content->setCurrentWidget(m_filtered);
    } else {
        m_content->setCurrentWidget(m_results);
    }
}

}  // namespace tarnwick
