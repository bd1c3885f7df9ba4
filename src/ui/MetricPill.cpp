#include "ui/MetricPill.h"

namespace tarnwick {

MetricPill::MetricPill(const QString &title, const QString &value, QWidget *parent) : SuperCleanMetric(title, parent)
{
    setValue(value);
}

}  // namespace tarnwick
