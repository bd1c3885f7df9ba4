#pragma once

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;

namespace tarnwick {

class AppState;
class DisclosureHeader;
class TargetToggleRow;

// The sidebar's "Cleanup" settings: the preset, the minimum size and, folded under "Advanced", the
// extra-types switch, one row per folder type of the catalogue and the cleanup method.
class CleanupSettingsSection : public QWidget {
    Q_OBJECT
public:
    explicit CleanupSettingsSection(AppState &state, QWidget *parent = nullptr);

    QComboBox *presetPicker() const { return m_preset; }
    QComboBox *minimumSizePicker() const { return m_minimumSize; }
    QCheckBox *aggressiveSwitch() const { return m_aggressive; }
    QComboBox *cleanupMethodPicker() const { return m_method; }
    const std::vector<TargetToggleRow *> &targetRows() const { return m_rows; }
    DisclosureHeader *advancedHeader() const { return m_advancedHeader; }

    void setAdvancedVisible(bool visible);

    static QString presetDescription(int presetIndex);

private:
    void showPreset();
    void showMinimumSize();
    void showMethod();
    void showRules();
    void showAggressive();
    void refreshEnablement();

    AppState &m_state;
    QComboBox *m_preset;
    QComboBox *m_minimumSize;
    DisclosureHeader *m_advancedHeader;
    QWidget *m_advanced;
    QCheckBox *m_aggressive;
    std::vector<TargetToggleRow *> m_rows;
    QComboBox *m_method;
};

}  // namespace tarnwick
