#pragma once

#include <QWidget>

class QSplitter;
class QStackedWidget;

namespace tarnwick {

class AppState;
class CandidateInspector;
class CandidateList;
class DeferredRefresh;
class DividerSplitter;
class DesktopShell;
class EmptyFilteredView;
class EmptyReviewView;
class OperationBanner;
class ReviewHeader;
class StatusBar;

// The right column: the header with the clean button and the pickers, the progress of the running
// operation, the found folders beside their inspector (or the empty state that fits), and the
// status line.
class ReviewView : public QWidget {
    Q_OBJECT
public:
    ReviewView(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    ReviewHeader *header() const { return m_header; }
    OperationBanner *banner() const { return m_banner; }
    CandidateList *list() const { return m_list; }
    CandidateInspector *inspector() const { return m_inspector; }
    // The list beside the inspector; the window remembers where the user put the divider.
    QSplitter *resultsSplitter() const;
    EmptyReviewView *emptyView() const { return m_empty; }
    EmptyFilteredView *filteredView() const { return m_filtered; }
    StatusBar *statusBar() const { return m_status; }
    // The empty state, the filtered-out state, or the list with its inspector.
    QWidget *currentContent() const;
    bool isBannerShown() const;

private:
    void refresh();

    AppState &m_state;
    DeferredRefresh *m_refresh;
    ReviewHeader *m_header;
    QWidget *m_bannerArea;
    OperationBanner *m_banner;
    QStackedWidget *m_content;
    EmptyReviewView *m_empty;
    EmptyFilteredView *m_filtered;
    DividerSplitter *m_results;
    CandidateList *m_list;
    CandidateInspector *m_inspector;
    StatusBar *m_status;
};

}  // namespace tarnwick
