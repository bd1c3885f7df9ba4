#pragma once

#include "engine/CleanupCandidate.h"

#include <QFrame>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedLayout;
class QTextEdit;
class QVBoxLayout;

namespace tarnwick {

class AppState;
class DesktopShell;
class DeferredRefresh;
class GuidanceBlock;
class RiskBadge;

// The column beside the list that explains the focused candidate: what it is, how big, where, why
// it is usually safe to clean, how it comes back, and what its risk means; with its selection and
// the folder actions. Without a focused candidate it says how to get one.
class CandidateInspector : public QFrame {
    Q_OBJECT
public:
    CandidateInspector(AppState &state, DesktopShell &shell, QWidget *parent = nullptr);

    // The controls the tests drive.
    QCheckBox *includeCheckBox() const { return m_include; }
    QLabel *modifiedLabel() const { return m_modified; }
    QPushButton *revealButton() const { return m_reveal; }
    QPushButton *copyPathButton() const { return m_copyPath; }
    QPushButton *keepButton() const { return m_keep; }
    QString shownCategory() const;
    // Shows the state now rather than at the next turn of the event loop.
    void refreshNow();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void showModified();
    QLabel *addField(QVBoxLayout *layout, const QString &title);

    // What the inspector shows, so that a refresh that would show the same can be skipped.
    struct Shown {
        std::optional<CleanupCandidate> candidate;
        bool selected = false;
        bool busy = false;
        bool operator==(const Shown &) const = default;
    };

    AppState &m_state;
    DesktopShell &m_shell;
    DeferredRefresh *m_refresh;
    std::optional<Shown> m_shown;
    QStackedLayout *m_pages;
    QWidget *m_emptyPage;
    QWidget *m_detailPage;
    QLabel *m_category;
    QLabel *m_description;
    RiskBadge *m_risk;
    QLabel *m_size;
    QLabel *m_key;
    QLabel *m_modified;
    QTextEdit *m_path;
    GuidanceBlock *m_safety;
    GuidanceBlock *m_recreation;
    GuidanceBlock *m_riskNote;
    QCheckBox *m_include;
    QPushButton *m_reveal;
    QPushButton *m_copyPath;
    QPushButton *m_keep;
};

}  // namespace tarnwick
