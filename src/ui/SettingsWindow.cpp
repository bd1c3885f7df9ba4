#include "ui/SettingsWindow.h"

#include "app/AppState.h"
#include "ui/StateBindings.h"
#include "ui/UiStyle.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

SettingsWindow::SettingsWindow(AppState &state, QWidget *parent)
    : QDialog(parent),
      m_state(state),
      m_analytics(new QCheckBox(QStringLiteral("Share anonymous usage statistics"))),
      m_automaticChecks(new QCheckBox(QStringLiteral("Check for updates automatically"))),
      m_checkNow(new QPushButton(QStringLiteral("Check Now"))),
      m_spinner(new QProgressBar),
      m_message(new QLabel),
      m_download(new QPushButton(QStringLiteral("Download Latest Version")))
{
    setWindowTitle(QStringLiteral("Settings"));
    setFixedWidth(460);

    auto *privacy = new QGroupBox(QStringLiteral("Privacy"));
    auto *privacyLayout = new QVBoxLayout(privacy);
    m_analytics->setToolTip(
        QStringLiteral("No file paths, project names, usernames, scan results, or cleanup history are sent."));
    auto *caption = new QLabel(QStringLiteral("Tarnwick only sends aggregate event buckets when this is enabled."));
    caption->setWordWrap(true);
    ui::style(caption, ui::TextStyle::caption, true);
    privacyLayout->addWidget(m_analytics);
    privacyLayout->addWidget(caption);

    auto *updates = new QGroupBox(QStringLiteral("Updates"));
    auto *updatesLayout = new QVBoxLayout(updates);
    auto *checkRow = new QHBoxLayout;
    // An indeterminate bar is the toolkit's spinner; kept small so it reads as one.
    m_spinner->setRange(0, 0);
    m_spinner->setTextVisible(false);
    m_spinner->setFixedSize(48, 8);
    ui::style(m_message, ui::TextStyle::body, true);
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    checkRow->addWidget(m_checkNow);
    checkRow->addWidget(m_spinner);
    checkRow->addWidget(m_message, 1);
    updatesLayout->addWidget(m_automaticChecks);
    updatesLayout->addLayout(checkRow);
    updatesLayout->addWidget(m_download, 0, Qt::AlignLeft);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(privacy);
    layout->addWidget(updates);
    layout->addStretch();

    connect(m_analytics, &QCheckBox::toggled, this, [this](bool on) { m_state.setAnalyticsOptIn(on); });
    connect(m_automaticChecks, &QCheckBox::toggled, this,
            [this](bool on) { m_state.setAutomaticUpdateChecksEnabled(on); });
    connect(m_checkNow, &QPushButton::clicked, this, [this] { m_state.checkForUpdates(true); });
    connect(m_download, &QPushButton::clicked, this, [this] { m_state.openLatestDownload(); });
    for (auto signal : {&AppState::analyticsOptInChanged, &AppState::automaticUpdateChecksEnabledChanged,
                        &AppState::updateCheckStateChanged}) {
        connect(&state, signal, this, &SettingsWindow::refresh);
    }
    refresh();
}

void SettingsWindow::refresh()
{
    const auto &update = m_state.updateCheckState();
    const QSignalBlocker analyticsBlocker(m_analytics);
    const QSignalBlocker checksBlocker(m_automaticChecks);
    m_analytics->setChecked(m_state.analyticsOptIn());
    m_automaticChecks->setChecked(m_state.automaticUpdateChecksEnabled());
    const bool checking = update.phase == UpdateCheckPhase::checking;
    m_checkNow->setEnabled(!checking);
    m_spinner->setVisible(checking);
    m_message->setText(ui::qstring(update.message));
    m_message->setToolTip(m_message->text());
    m_download->setVisible(update.phase == UpdateCheckPhase::updateAvailable);
    adjustSize();
}

}  // namespace tarnwick
