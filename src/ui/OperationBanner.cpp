#include "ui/OperationBanner.h"

#include "app/AppState.h"
#include "core/ByteCountFormatter.h"
#include "ui/ActivitySpinner.h"
#include "ui/DeferredRefresh.h"
#include "ui/ElidedLabel.h"
#include "ui/StateBindings.h"
#include "ui/UiStyle.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

}  // namespace

OperationBanner::OperationBanner(AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_refresh(new DeferredRefresh(this, [this] { refresh(); })),
      m_spinner(new ActivitySpinner(this)), m_headline(new QLabel(this)), m_counts(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)), m_progress(new QProgressBar(this)),
      m_path(new ElidedLabel(Qt::ElideMiddle, this)), m_detail(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 10, 20, 10);
    layout->setSpacing(6);
    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    ui::style(m_headline, ui::TextStyle::headline);
    ui::style(m_counts, ui::TextStyle::body, true);
    top->addWidget(m_spinner);
    top->addWidget(m_headline);
    top->addWidget(m_counts);
    top->addStretch();
    top->addWidget(m_cancel);
    layout->addLayout(top);

    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(8);
    layout->addWidget(m_progress);

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(ui::font(ui::TextStyle::caption, font()).pointSizeF());
    m_path->setFont(fixed);
    // Room below the descent, where a small monospaced underscore is drawn: node_modules, not
    // "node modules".
    m_path->setMinimumHeight(QFontMetrics(fixed).height() + 4);
    layout->addWidget(m_path);
    ui::style(m_detail, ui::TextStyle::caption, true);
    layout->addWidget(m_detail);

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_state.isDeleting()) {
            m_state.cancelCleanup();
        } else {
            m_state.cancelScan();
        }
    });
    m_refresh->watch(&state, &AppState::scanProgressChanged, &AppState::deleteProgressChanged,
                     &AppState::isScanningChanged, &AppState::isDeletingChanged, &AppState::cleanupActionChanged);
    refresh();
}

QString OperationBanner::headlineText() const
{
    return m_headline->text();
}

QString OperationBanner::countsText() const
{
    return m_counts->text();
}

QString OperationBanner::detailText() const
{
    return m_detail->text();
}

QString OperationBanner::pathText() const
{
    return m_path->fullText();
}

void OperationBanner::refreshNow()
{
    m_refresh->now();
}

void OperationBanner::refresh()
{
    if (m_state.isDeleting()) {
        const DeleteProgress &progress = m_state.deleteProgress();
        m_headline->setText(QString::fromStdString(progress.message));
        m_counts->setText(QString::number(progress.currentIndex) + QStringLiteral(" / ") +
                          QString::number(progress.total));
        m_progress->setVisible(true);
        m_progress->setRange(0, static_cast<int>(std::max<int64_t>(progress.total, 1)));
        m_progress->setValue(static_cast<int>(std::min(progress.currentIndex, progress.total)));
        m_path->setFullText(ui::displayPath(progress.currentPath));
        // The cleanup method cannot change while a run is busy, so the setting is the run's action.
        QStringList parts;
        const bool permanent = m_state.cleanupAction() == CleanupAction::deletePermanently;
        parts << (permanent ? QStringLiteral("Deleted ") : QStringLiteral("Moved ")) +
                     QString::number(progress.deletedCount);
        if (progress.failedCount > 0) {
            parts << QStringLiteral("Failed ") + QString::number(progress.failedCount);
        }
        if (progress.entriesDeletedInCurrent > 0) {
            parts << QString::number(progress.entriesDeletedInCurrent) +
                         QStringLiteral(" items removed from current folder");
        }
        m_detail->setText(parts.join(QStringLiteral(" - ")));
        return;
    }
    const ScanProgress &progress = m_state.scanProgress();
    m_headline->setText(QString::fromStdString(progress.message));
    m_counts->setText(QStringLiteral("Checked ") + QString::number(progress.visitedDirs) + QStringLiteral(" - Found ") +
                      QString::number(progress.matchedDirs));
    m_progress->setVisible(false);
    m_path->setFullText(ui::displayPath(progress.currentPath));
    m_detail->setText(QStringLiteral("Checked ") + QString::number(progress.measuredEntries) +
                      QStringLiteral(" items - ") + ui::sizeText(progress.bytesSoFar));
}

}  // namespace tarnwick
