#include "ui/SuperCleanCleaningStep.h"

#include "app/SuperCleanCoordinator.h"
#include "ui/ElidedLabel.h"
#include "ui/SuperCleanMetric.h"
#include "ui/SuperCleanStyle.h"
#include "ui/DisplayText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tarnwick {

namespace {

// A small turning arc that says the work goes on between two progress reports. It turns only
// while it is on screen.
class Spinner : public QWidget {
public:
    explicit Spinner(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(18, 18);
        m_timer.setInterval(80);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent *) override { m_timer.start(); }
    void hideEvent(QHideEvent *) override { m_timer.stop(); }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds = QRectF(rect()).adjusted(2, 2, -2, -2);
        QColor track = ui::secondaryTextColor(palette());
        track.setAlpha(60);
        painter.setPen(QPen(track, 2.5));
        painter.drawEllipse(bounds);
        painter.setPen(QPen(ui::accentColor(palette()), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(bounds, -m_angle * 16, 100 * 16);
    }

private:
    QTimer m_timer;
    int m_angle = 0;
};

}  // namespace

SuperCleanCleaningStep::SuperCleanCleaningStep(SuperCleanCoordinator &coordinator, QWidget *parent)
    : QWidget(parent),
      m_coordinator(coordinator),
      m_bar(new QProgressBar(this)),
      m_spinner(new Spinner(this)),
      m_message(ui::makeLabel({}, ui::TextStyle::title3, this)),
      m_position(ui::makeLabel({}, ui::TextStyle::body, this, true)),
      m_path(new ElidedLabel(Qt::ElideMiddle, this)),
      m_moved(new SuperCleanMetric(QStringLiteral("Moved"), this)),
      m_failed(new SuperCleanMetric(QStringLiteral("Failed"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 24, 48, 24);
    layout->setSpacing(10);
    layout->addStretch();
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);
    auto *status = new QHBoxLayout;
    status->setSpacing(8);
    status->addWidget(m_spinner);
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status->addWidget(m_message, 1);
    m_position->setObjectName(QStringLiteral("cleaningPosition"));
    status->addWidget(m_position);
    layout->addLayout(status);
    ui::style(m_path, ui::TextStyle::caption, true);
    // Room below the baseline for the underscores of folder names.
    m_path->setMinimumHeight(m_path->fontMetrics().height() + 4);
    layout->addWidget(m_path);
    layout->addSpacing(8);
    auto *counts = new QHBoxLayout;
    counts->setSpacing(10);
    counts->addWidget(m_moved);
    counts->addWidget(m_failed);
    counts->addStretch();
    m_moved->setFixedWidth(160);
    m_failed->setFixedWidth(160);
    layout->addLayout(counts);
    layout->addStretch();

    connect(&coordinator, &SuperCleanCoordinator::deleteProgressChanged, this, &SuperCleanCleaningStep::refresh);
    connect(&coordinator, &SuperCleanCoordinator::phaseChanged, this, &SuperCleanCleaningStep::refresh);
    refresh();
}

void SuperCleanCleaningStep::refresh()
{
    const DeleteProgress &progress = m_coordinator.deleteProgress();
    const int total = static_cast<int>(std::max<int64_t>(progress.total, 1));
    m_bar->setRange(0, total);
    m_bar->setValue(static_cast<int>(std::clamp<int64_t>(progress.currentIndex, 0, total)));
    m_message->setText(ui::qstring(progress.message));
    m_position->setText(QStringLiteral("%1 of %2").arg(progress.currentIndex).arg(progress.total));
    m_path->setFullText(ui::displayPath(progress.currentPath));
    m_moved->setValue(QString::number(progress.deletedCount));
    m_failed->setValue(QString::number(progress.failedCount));
    m_spinner->setVisible(m_coordinator.phase() == SuperCleanPhase::cleaning);
}

}  // namespace tarnwick
