#include "ui/TargetToggleRow.h"

#include "ui/InfoButton.h"
#include "ui/RiskBadge.h"
#include "ui/StateBindings.h"

#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>

namespace tarnwick {

TargetToggleRow::TargetToggleRow(const CleanupRule &rule, QWidget *parent)
    : QWidget(parent), m_key(rule.key), m_aggressive(rule.aggressive),
      m_check(new QCheckBox(ui::qstring(rule.key), this)), m_dim(new QGraphicsOpacityEffect(this))
{
    setToolTip(ui::qstring(rule.guidanceSummary()));
    m_check->setToolTip(toolTip());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_check, 1);
    layout->addWidget(new RiskBadge(rule.risk, this));
    layout->addWidget(new InfoButton(ui::qstring(rule.key),
                                     ui::qstring(rule.description + " (" + rule.category + ")."), this));
    m_dim->setOpacity(0.6);
    m_dim->setEnabled(false);
    setGraphicsEffect(m_dim);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) { emit toggled(m_key, on); });
}

bool TargetToggleRow::isDimmed() const
{
    return m_dim->isEnabled();
}

void TargetToggleRow::showState(bool checked, bool enabled, bool dimmed)
{
    const QSignalBlocker blocker(m_check);
    m_check->setChecked(checked);
    setEnabled(enabled);
    m_dim->setEnabled(dimmed);
}

}  // namespace tarnwick
