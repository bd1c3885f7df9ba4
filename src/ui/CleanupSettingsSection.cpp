#include "ui/CleanupSettingsSection.h"

#include "app/AppState.h"
#include "engine/CleanupRules.h"
#include "ui/DisclosureHeader.h"
#include "ui/InfoButton.h"
#include "ui/StateBindings.h"
#include "ui/SymbolIcons.h"
#include "ui/TargetToggleRow.h"
#include "ui/UiStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace tarnwick {

namespace {

// A titled picker row: the title, the picker filling the middle, and its info button.
void addPickerRow(QGridLayout *grid, int row, const QString &title, QComboBox *picker, InfoButton *info)
{
    auto *label = new QLabel(title);
    grid->addWidget(label, row, 0);
    grid->addWidget(picker, row, 1);
    grid->addWidget(info, row, 2);
}

}  // namespace

CleanupSettingsSection::CleanupSettingsSection(AppState &state, QWidget *parent)
    : QWidget(parent),
      m_state(state),
      m_preset(new QComboBox(this)),
      m_minimumSize(new QComboBox(this)),
      m_advancedHeader(new DisclosureHeader("slider.horizontal.3", QStringLiteral("Advanced"), this)),
      m_advanced(new QWidget(this)),
      m_aggressive(new QCheckBox(QStringLiteral("Review and Advanced Types"), m_advanced)),
      m_method(new QComboBox(m_advanced))
{
    for (CleanupPreset preset : allCleanupPresets) {
        m_preset->addItem(ui::qstring(title(preset)));
    }
    for (SizePreset size : allSizePresets) {
        m_minimumSize->addItem(ui::qstring(title(size)));
    }
    for (CleanupAction action : allCleanupActions) {
        m_method->addItem(ui::cleanupActionTitle(action));
    }
    m_minimumSize->setToolTip(QStringLiteral("Only show folders at least this large."));
    m_method->setToolTip(QStringLiteral("Move to Trash is safer. Delete Permanently cannot be undone."));
    m_aggressive->setIcon(ui::symbolIcon("exclamationmark.triangle", ui::orangeColor(palette())));
    m_aggressive->setToolTip(
        QStringLiteral("Includes broader folder types such as dist, coverage, and virtual environments."));

    auto *pickers = new QGridLayout;
    pickers->setContentsMargins(0, 0, 0, 0);
    pickers->setHorizontalSpacing(8);
    pickers->setColumnStretch(1, 1);
    addPickerRow(pickers, 0, QStringLiteral("Preset"), m_preset,
                 new InfoButton(QStringLiteral("Preset"),
                                QStringLiteral("Safe is the most conservative. Balanced adds review-level targets. "
                                               "Deep includes every supported cleanup type."),
                                this));
    addPickerRow(pickers, 1, QStringLiteral("Minimum Size"), m_minimumSize,
                 new InfoButton(QStringLiteral("Minimum Size"),
                                QStringLiteral("Use this to hide small folders from the results. No Minimum shows "
                                               "everything Tarnwick finds."),
                                this));

    auto *typesTitle = new QLabel(QStringLiteral("Folder Types"), m_advanced);
    ui::style(typesTitle, ui::TextStyle::caption, true);
    auto *typesRow = new QHBoxLayout;
    typesRow->addWidget(typesTitle);
    typesRow->addWidget(new InfoButton(QStringLiteral("Folder Types"),
                                       QStringLiteral("These are the kinds of development folders Tarnwick can "
                                                      "find. The default choices are conservative."),
                                       m_advanced));
    typesRow->addStretch();
    auto *advancedLayout = new QVBoxLayout(m_advanced);
    advancedLayout->setContentsMargins(4, 0, 0, 0);
    advancedLayout->setSpacing(2);
    advancedLayout->addLayout(typesRow);
    advancedLayout->addWidget(m_aggressive);
    for (const CleanupRule &rule : CleanupRules::all()) {
        auto *row = new TargetToggleRow(rule, m_advanced);
        m_rows.push_back(row);
        advancedLayout->addWidget(row);
        connect(row, &TargetToggleRow::toggled, this,
                [this](const std::string &key, bool on) { m_state.setRule(key, on); });
    }
    auto *methodGrid = new QGridLayout;
    methodGrid->setContentsMargins(0, 8, 0, 0);
    methodGrid->setColumnStretch(1, 1);
    addPickerRow(methodGrid, 0, QStringLiteral("Cleanup Method"), m_method,
                 new InfoButton(QStringLiteral("Cleanup Method"),
                                QStringLiteral("Move to Trash is the safest option and lets you restore folders "
                                               "later. Large folders can still take time because the system has "
                                               "to move their contents."),
                                m_advanced));
    advancedLayout->addLayout(methodGrid);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addLayout(pickers);
    layout->addWidget(m_advancedHeader);
    layout->addWidget(m_advanced);

    connect(m_preset, &QComboBox::activated, this,
            [this](int index) { m_state.applyPreset(allCleanupPresets.at(static_cast<size_t>(index))); });
    connect(m_minimumSize, &QComboBox::activated, this,
            [this](int index) { m_state.setMinimumSizePreset(allSizePresets.at(static_cast<size_t>(index))); });
    connect(m_method, &QComboBox::activated, this,
            [this](int index) { m_state.setCleanupAction(allCleanupActions.at(static_cast<size_t>(index))); });
    connect(m_aggressive, &QCheckBox::toggled, this, [this](bool on) { m_state.setIncludeAggressiveByHand(on); });

    connect(&state, &AppState::cleanupPresetChanged, this, &CleanupSettingsSection::showPreset);
    connect(&state, &AppState::minimumSizePresetChanged, this, &CleanupSettingsSection::showMinimumSize);
    connect(&state, &AppState::cleanupActionChanged, this, &CleanupSettingsSection::showMethod);
    connect(&state, &AppState::enabledRuleKeysChanged, this, &CleanupSettingsSection::showRules);
    connect(&state, &AppState::includeAggressiveChanged, this, &CleanupSettingsSection::showAggressive);
    ui::onBusyChanged(state, this, [this] { refreshEnablement(); });
    showPreset();
    showMinimumSize();
    showMethod();
    showAggressive();
    refreshEnablement();
}

QString CleanupSettingsSection::presetDescription(int presetIndex)
{
    switch (allCleanupPresets.at(static_cast<size_t>(presetIndex))) {
    case CleanupPreset::safe:
        return QStringLiteral("High-confidence dependency and cache folders.");
    case CleanupPreset::balanced:
        return QStringLiteral("Safe items plus folders that deserve quick review.");
    case CleanupPreset::deep:
        return QStringLiteral("All supported folder types, including advanced cleanup targets.");
    case CleanupPreset::custom:
        return QStringLiteral("Your manual folder type selection.");
    }
    return {};
}

void CleanupSettingsSection::setAdvancedVisible(bool visible)
{
    m_advancedHeader->setExpanded(visible);
    m_advanced->setVisible(visible);
}

template <typename Value, size_t N>
static int indexOf(const std::array<Value, N> &values, Value value)
{
    return static_cast<int>(std::find(values.begin(), values.end(), value) - values.begin());
}

void CleanupSettingsSection::showPreset()
{
    const int index = indexOf(allCleanupPresets, m_state.cleanupPreset());
    m_preset->setCurrentIndex(index);
    m_preset->setToolTip(presetDescription(index));
}

void CleanupSettingsSection::showMinimumSize()
{
    m_minimumSize->setCurrentIndex(indexOf(allSizePresets, m_state.minimumSizePreset()));
}

void CleanupSettingsSection::showMethod()
{
    m_method->setCurrentIndex(indexOf(allCleanupActions, m_state.cleanupAction()));
}

void CleanupSettingsSection::showAggressive()
{
    const QSignalBlocker blocker(m_aggressive);
    m_aggressive->setChecked(m_state.includeAggressive());
    showRules();
}

void CleanupSettingsSection::showRules()
{
    const bool busy = ui::isBusy(m_state);
    const auto &enabled = m_state.enabledRuleKeys();
    for (TargetToggleRow *row : m_rows) {
        const bool locked = row->isAggressive() && !m_state.includeAggressive();
        row->showState(enabled.count(row->key()) > 0, !busy && !locked, locked);
    }
}

void CleanupSettingsSection::refreshEnablement()
{
    const bool busy = ui::isBusy(m_state);
    for (QWidget *control : std::initializer_list<QWidget *>{m_preset, m_minimumSize, m_aggressive, m_method}) {
        control->setEnabled(!busy);
    }
    showRules();
}

}  // namespace tarnwick
