#include "ui/MaintenanceReportSheet.h"

#include "app/AppState.h"
#include "ui/SymbolIcons.h"
#include "ui/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

MaintenanceReportSheet::MaintenanceReportSheet(const MaintenanceReport &report, const AppState &state, QWidget *parent)
    : QDialog(parent), m_reportID(report.id), m_output(new QPlainTextEdit(this)),
      m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QString::fromStdString(report.title));
    setMinimumSize(640, 420);
    resize(720, 480);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 20, 22, 16);
    layout->setSpacing(12);

    auto *top = new QHBoxLayout;
    top->setSpacing(12);
    auto *symbol = new QLabel(this);
    symbol->setPixmap(ui::symbolIcon("wrench.and.screwdriver", ui::secondaryTextColor(palette())).pixmap(32, 32));
    top->addWidget(symbol, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto *title = new QLabel(QString::fromStdString(report.title), this);
    ui::style(title, ui::TextStyle::title);
    auto *command = new QLabel(QString::fromStdString(report.command), this);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    command->setFont(fixed);
    ui::setSecondary(command);
    command->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(title);
    texts->addWidget(command);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    // The tool's own text, byte for byte as far as the display allows: no wrapping, no markup.
    m_output->setReadOnly(true);
    m_output->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_output->setFont(fixed);
    m_output->setPlainText(QString::fromUtf8(report.output.data(), static_cast<qsizetype>(report.output.size())));
    m_output->setMinimumHeight(220);
    layout->addWidget(m_output, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    if (report.primaryAction && report.primaryActionTitle) {
        m_followUp = new QPushButton(QString::fromStdString(*report.primaryActionTitle), this);
        ui::setProminent(m_followUp, ui::accentColor(QApplication::palette()));
        buttons->addWidget(m_followUp);
        const auto enable = [this, &state] { m_followUp->setEnabled(!state.isRunningMaintenance()); };
        connect(&state, &AppState::isRunningMaintenanceChanged, this, enable);
        enable();
        connect(m_followUp, &QPushButton::clicked, this, [this] { done(followUpResult); });
    }
    layout->addLayout(buttons);
}

QString MaintenanceReportSheet::outputText() const
{
    return m_output->toPlainText();
}

}  // namespace tarnwick
