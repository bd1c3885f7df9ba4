#include "ui/DisplayText.h"
#include "ui/CleanupSummarySheet.h"

#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "ui/MetricPill.h"
#include "ui/SheetSize.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

CleanupSummarySheet::CleanupSummarySheet(const CleanupSummary &summary, QWidget *parent)
    : QDialog(parent), m_summaryID(summary.id), m_title(new QLabel(title(summary), this)),
      m_message(new QLabel(message(summary), this)), m_failure(new QLabel(this)),
      m_done(new QPushButton(QStringLiteral("Done"), this))
{
    setWindowTitle(title(summary));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 18);
    layout->setSpacing(12);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    auto *symbolLabel = new QLabel(this);
    const QColor tint = summary.failureCount > 0 ? ui::orangeColor(palette()) : ui::secondaryTextColor(palette());
    symbolLabel->setPixmap(ui::symbolIcon(symbol(summary), tint).pixmap(40, 40));
    top->addWidget(symbolLabel, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    ui::style(m_title, ui::TextStyle::title3);
    QFont titleFont = m_title->font();
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_message->setWordWrap(true);
    texts->addWidget(m_title);
    texts->addWidget(m_message);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    auto *pills = new QHBoxLayout;
    pills->setSpacing(8);
    pills->addWidget(
        new MetricPill(QStringLiteral("This Cleanup"), ui::sizeText(summary.bytes), this));
    pills->addWidget(new MetricPill(QStringLiteral("Folders"), QString::number(summary.folderCount), this));
    pills->addWidget(
        new MetricPill(QStringLiteral("History"), ui::sizeText(summary.historyBytes), this));
    layout->addLayout(pills);

    if (summary.failureCount >= 1) {
        m_failure->setText(QString::number(summary.failureCount) +
                           QStringLiteral(" items failed. Check the status bar for the first error."));
        ui::style(m_failure, ui::TextStyle::caption);
        ui::setTextColor(m_failure, ui::redColor(palette()));
        m_failure->setWordWrap(true);
        layout->addWidget(m_failure);
    } else {
        m_failure->hide();
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_done);
    layout->addLayout(buttons);
    ui::setProminent(m_done, ui::accentColor(QApplication::palette()));
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);
    ui::fixSheetSize(*this, 460);
}

QString CleanupSummarySheet::title(const CleanupSummary &summary)
{
    if (summary.cancelled) {
        return QStringLiteral("Cleanup Cancelled");
    }
    return summary.failureCount < 1 ? QStringLiteral("Cleanup Complete")
                                    : QStringLiteral("Cleanup Finished With Issues");
}

QString CleanupSummarySheet::message(const CleanupSummary &summary)
{
    const QString count = QString::fromStdString(countPhrase(summary.folderCount));
    const QString size = ui::sizeText(summary.bytes);
    if (summary.action == CleanupAction::deletePermanently) {
        return count + QStringLiteral(" deleted permanently, about ") + size + QStringLiteral(".");
    }
    return count + QStringLiteral(" moved to Trash, about ") + size +
           QStringLiteral(". Empty Trash to free the space.");
}

const char *CleanupSummarySheet::symbol(const CleanupSummary &summary)
{
    if (summary.cancelled) {
        return "xmark.circle";
    }
    return summary.failureCount > 0 ? "exclamationmark.triangle.fill" : "checkmark.circle.fill";
}

QString CleanupSummarySheet::titleText() const
{
    return m_title->text();
}

QString CleanupSummarySheet::messageText() const
{
    return m_message->text();
}

QString CleanupSummarySheet::failureText() const
{
    return m_failure->isHidden() ? QString() : m_failure->text();
}

QList<MetricPill *> CleanupSummarySheet::pills() const
{
    return findChildren<MetricPill *>();
}

}  // namespace tarnwick
