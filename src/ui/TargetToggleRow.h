#pragma once

#include "engine/CleanupRule.h"

#include <QWidget>

class QCheckBox;
class QGraphicsOpacityEffect;

namespace tarnwick {

// One folder type of the catalogue: a checkbox with the rule's name, its risk and an explanation.
class TargetToggleRow : public QWidget {
    Q_OBJECT
public:
    explicit TargetToggleRow(const CleanupRule &rule, QWidget *parent = nullptr);

    const std::string &key() const { return m_key; }
    bool isAggressive() const { return m_aggressive; }
    QCheckBox *checkBox() const { return m_check; }
    bool isDimmed() const;

    // An aggressive rule is dimmed while the extra types are off; it is then disabled too.
    void showState(bool checked, bool enabled, bool dimmed);

signals:
    void toggled(const std::string &key, bool enabled);

private:
    std::string m_key;
    bool m_aggressive;
    QCheckBox *m_check;
    QGraphicsOpacityEffect *m_dim;
};

}  // namespace tarnwick
