#include "ui/SuperCleanSidebarCard.h"

#include "app/AppState.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

// The accent-tinted rounded square that carries the sparkles.
class SparkleBadge : public QWidget {
public:
    explicit SparkleBadge(QWidget *parent) : QWidget(parent) { setFixedSize(30, 30); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = ui::accentColor(palette());
        fill.setAlphaF(0.16f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(rect(), 7, 7);
        ui::symbolIcon("sparkles", ui::accentColor(palette())).paint(&painter, rect().adjusted(6, 6, -6, -6));
    }
};

}  // namespace

SuperCleanSidebarCard::SuperCleanSidebarCard(AppState &state, QWidget *parent)
    : QWidget(parent),
      m_state(state),
      m_badge(new SparkleBadge(this)),
      m_analyze(new QPushButton(ui::symbolIcon("wand.and.stars", Qt::white),
                                QStringLiteral("Analyze Developer Storage"), this))
{
    auto *title = new QLabel(QStringLiteral("Super Clean"), this);
    ui::style(title, ui::TextStyle::headline);
    auto *subtitle = new QLabel(QStringLiteral("Find the safest developer storage to reclaim."), this);
    ui::style(subtitle, ui::TextStyle::caption, true);
    subtitle->setWordWrap(true);
    auto *footnote = new QLabel(QStringLiteral("Nothing is removed without review."), this);
    ui::style(footnote, ui::TextStyle::caption, true);
    m_analyze->setToolTip(
        QStringLiteral("Open Super Clean and choose exactly which developer locations to analyze."));

    auto *titles = new QVBoxLayout;
    titles->setSpacing(1);
    titles->addWidget(title);
    titles->addWidget(subtitle);
    auto *top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(m_badge, 0, Qt::AlignTop);
    top->addLayout(titles, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(m_analyze);
    layout->addWidget(footnote);

    connect(m_analyze, &QPushButton::clicked, this, &SuperCleanSidebarCard::analyzeRequested);
    ui::onBusyChanged(state, this, [this] { m_analyze->setEnabled(!ui::isBusy(m_state)); });
    m_analyze->setEnabled(!ui::isBusy(state));
    applyColors();
}

void SuperCleanSidebarCard::paintEvent(QPaintEvent *)
{
    ui::paintCard(this);
}

void SuperCleanSidebarCard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyColors();
    }
}

void SuperCleanSidebarCard::applyColors()
{
    ui::setProminent(m_analyze, ui::accentColor(QApplication::palette()));
}

}  // namespace tarnwick
